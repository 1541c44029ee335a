#pragma once

// CUrl: a URL split into scheme, host, port, path, query and fragment, as the HTTP client needs it.
// The host/port ":" is looked for only inside the authority, so a ":" in a path or query stays there.

#include <string>

class CUrl {
public:
    std::string Scheme, Host, Port, Path, Fragment, Query;
    int Valid = 0; // 1 when the text was not empty

    // Refills every field from text; a CUrl may be re-parsed for each request.
    void Parse(const std::string& text);
};

#pragma once

// The body of a service answer: "key=value" lines ending in a bare line feed, optionally closed
// by one key followed by raw bytes (a recording or a picture). The agent finds keys by plain
// search up to the first zero byte, so every text key must come before the raw part, and values
// are sanitised so that none can end early or smuggle in a key of its own line.

#include <string>
#include <string_view>

namespace vandu::server {

class CServiceAnswer {
public:
    // Appends "key=value\n"; TAB, CR, LF and NUL in key and value become blanks. Ignored after AddRaw.
    void Add(std::string_view key, std::string_view value);
    void Add(std::string_view key, long long value);
    // Appends "key=" and the bytes unchanged; nothing may follow them.
    void AddRaw(std::string_view key, std::string_view bytes);
    // Appends "key=" and the text to the end of the body, line feeds kept: for a value the agent
    // reads to the end (a multi-line confirmation). Nothing may follow it either.
    void AddTail(std::string_view key, std::string_view text);

    const std::string& Body() const { return m_body; }

private:
    std::string m_body;
    bool m_closed = false;
};

} // namespace vandu::server

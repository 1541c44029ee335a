#pragma once

// A request target read the way the service reads it, from the raw text: the path, the command
// name (the first query element when it has no "="), the parameters with their values decoded,
// and the raw query. The raw form matters because the agent sends most values unencoded: a value
// may itself hold "=" (the log text "...-IP=1.2.3.4"), and only the message text is URL-encoded.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vandu::server {

class CServiceQuery {
public:
    // Never fails: a target without "?" has an empty query; malformed escapes stay as they are.
    static CServiceQuery Parse(std::string_view target);

    const std::string& Path() const { return m_path; }
    const std::string& Command() const { return m_command; }
    const std::string& RawQuery() const { return m_rawQuery; }
    const std::vector<std::pair<std::string, std::string>>& Params() const { return m_params; }

    // The decoded value of the first parameter with this exact (case-sensitive) name.
    std::optional<std::string> Value(std::string_view name) const;
    // Everything after the first "&name=" (or a leading "name=") of the raw query, not decoded and
    // not split at "&" or "=": the log text is sent as it is and may hold both.
    std::optional<std::string> RawTail(std::string_view name) const;

    // "%XX" becomes the byte, "+" a blank; an incomplete or non-hex escape is kept unchanged.
    static std::string Decode(std::string_view text);

private:
    std::string m_path;
    std::string m_command;
    std::string m_rawQuery;
    std::vector<std::pair<std::string, std::string>> m_params;
};

} // namespace vandu::server

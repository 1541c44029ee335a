#include "agent/net/Url.h"

namespace {

bool IsSchemeEnd(char c)
{
    return c == ':' || c == '/' || c == '#' || c == '?';
}

} // namespace

void CUrl::Parse(const std::string& text)
{
    Scheme.clear();
    Host.clear();
    Port.clear();
    Path.clear();
    Fragment.clear();
    Query.clear();
    Valid = 0;
    if (text.empty())
        return;

    std::size_t cursor = 0;
    while (cursor < text.size() && !IsSchemeEnd(text[cursor]))
        ++cursor;
    if (cursor < text.size() && text[cursor] == ':') {
        Scheme = text.substr(0, cursor);
        ++cursor;
    } else {
        cursor = 0;
    }

    if (text.compare(cursor, 2, "//") == 0) {
        cursor += 2;
        // The authority ends at the first "/", "?" or "#": a ":" after it belongs to the path or query.
        std::size_t end = text.find_first_of("/?#", cursor);
        if (end == std::string::npos)
            end = text.size();
        const std::string authority = text.substr(cursor, end - cursor);
        const std::size_t colon = authority.find(':');
        if (colon == std::string::npos) {
            Host = authority;
        } else {
            Host = authority.substr(0, colon);
            Port = authority.substr(colon + 1);
        }
        Valid = 1;
        if (end == text.size())
            return;
        cursor = text[end] == '/' ? end + 1 : end;
    }

    const std::size_t hash = text.find('#', cursor);
    if (hash == std::string::npos) {
        Path = text.substr(cursor);
    } else {
        Path = text.substr(cursor, hash - cursor);
        Fragment = text.substr(hash + 1);
    }
    Valid = 1;

    const std::size_t question = Path.find('?');
    if (question != std::string::npos) {
        Query = Path.substr(question);
        Path.erase(question);
    }
}

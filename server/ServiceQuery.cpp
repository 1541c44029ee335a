#include "server/ServiceQuery.h"

namespace vandu::server {

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string CServiceQuery::Decode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

CServiceQuery CServiceQuery::Parse(std::string_view target)
{
    CServiceQuery query;
    const size_t mark = target.find('?');
    query.m_path = std::string(target.substr(0, mark));
    if (mark == std::string_view::npos) {
        return query;
    }
    query.m_rawQuery = std::string(target.substr(mark + 1));
    std::string_view rest = query.m_rawQuery;
    bool first = true;
    while (true) {
        const size_t amp = rest.find('&');
        const std::string_view element = rest.substr(0, amp);
        const size_t eq = element.find('=');
        if (eq == std::string_view::npos) {
            if (first) {
                query.m_command = std::string(element);
            } else if (!element.empty()) {
                query.m_params.emplace_back(Decode(element), std::string());
            }
        } else {
            query.m_params.emplace_back(Decode(element.substr(0, eq)), Decode(element.substr(eq + 1)));
        }
        first = false;
        if (amp == std::string_view::npos) {
            break;
        }
        rest = rest.substr(amp + 1);
    }
    return query;
}

std::optional<std::string> CServiceQuery::Value(std::string_view name) const
{
    for (const auto& [key, value] : m_params) {
        if (key == name) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CServiceQuery::RawTail(std::string_view name) const
{
    const std::string key = std::string(name) + "=";
    size_t at = 0;
    if (m_rawQuery.compare(0, key.size(), key) != 0) {
        at = m_rawQuery.find("&" + key);
        if (at == std::string::npos) {
            return std::nullopt;
        }
        ++at;
    }
    return m_rawQuery.substr(at + key.size());
}

} // namespace vandu::server

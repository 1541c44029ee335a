#include "server/ServiceText.h"

#include <cstdio>

namespace vandu::server {

std::string SanitizeStoredText(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    return out;
}

bool IsDigits(std::string_view text, size_t minLength, size_t maxLength)
{
    if (text.size() < minLength || text.size() > maxLength) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool IsWellFormedId(std::string_view text)
{
    return IsDigits(text, 1, 20);
}

bool IsTenDigitId(std::string_view text)
{
    return IsDigits(text, 10, 10);
}

bool IsFourDigitPassword(std::string_view text)
{
    return IsDigits(text, 4, 4);
}

bool IsValidName(std::string_view text)
{
    if (text.empty() || text.size() > 40) {
        return false;
    }
    bool hasLetter = false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c == 127 || (c >= '0' && c <= '9')) {
            return false;
        }
        hasLetter = hasLetter || c != ' ';
    }
    return hasLetter;
}

bool IsValidEmail(std::string_view text)
{
    if (text.size() < 5 || text.size() > 100) {
        return false;
    }
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 32 || c == 127) {
            return false;
        }
    }
    const size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0 || text.find('@', at + 1) != std::string_view::npos) {
        return false;
    }
    const std::string_view domain = text.substr(at + 1);
    const size_t dot = domain.rfind('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < domain.size();
}

static std::tm UtcFields(std::time_t when)
{
    std::tm fields {};
    gmtime_r(&when, &fields);
    return fields;
}

std::string FormatServiceDate(std::time_t when)
{
    const std::tm t = UtcFields(when);
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d/%d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
    return text;
}

std::string FormatServiceTime(std::time_t when)
{
    const std::tm t = UtcFields(when);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace vandu::server

#include "agent/service/ServiceResponse.h"

#include "agent/store/AtomicFileWriter.h"

#include <climits>

namespace {

// The searchable part of a body: everything before its first zero byte.
std::string_view TextPart(std::string_view body)
{
    return body.substr(0, body.find('\0'));
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::size_t FindResponseKey(std::string_view body, std::string_view key)
{
    const std::string_view text = TextPart(body);
    const std::size_t at = key.empty() ? std::string_view::npos : text.find(key);
    return at == std::string_view::npos ? std::string_view::npos : at + key.size();
}

std::string GetResponseValue(std::string_view body, std::string_view key)
{
    const std::size_t start = FindResponseKey(body, key);
    if (start == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = TextPart(body).substr(start);
    std::size_t end = rest.find('\t');
    if (end == std::string_view::npos) {
        end = rest.find('\n');
    }
    return std::string(rest.substr(0, end));
}

int LeadingInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= static_cast<long long>(INT_MAX) + 1) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

int GetResponseInt(std::string_view body, std::string_view key)
{
    return LeadingInt(GetResponseValue(body, key));
}

int GetResultCode(std::string_view body)
{
    const std::size_t start = FindResponseKey(body, "Result=");
    return start == std::string_view::npos ? -1 : LeadingInt(TextPart(body).substr(start));
}

std::string GetResponseTail(std::string_view body, std::string_view key)
{
    const std::size_t start = FindResponseKey(body, key);
    return start == std::string_view::npos ? std::string() : std::string(TextPart(body).substr(start));
}

int WriteResponseTail(std::string_view body, std::string_view key, const std::string& path)
{
    const std::size_t start = FindResponseKey(body, key);
    if (start == std::string_view::npos || start >= body.size() || path.empty()) {
        return 0;
    }
    return CAtomicFileWriter::Write(path, body.substr(start)) ? 1 : 0;
}

bool ResponseContains(std::string_view body, std::string_view text)
{
    return TextPart(body).find(text) != std::string_view::npos;
}

std::vector<int> GetResponseIdList(std::string_view body)
{
    std::vector<int> ids;
    const std::size_t start = FindResponseKey(body, "Result=");
    if (start == std::string_view::npos) {
        return ids;
    }
    std::string_view rest = TextPart(body).substr(start);
    for (std::size_t semicolon = rest.find(';'); semicolon != std::string_view::npos; semicolon = rest.find(';')) {
        ids.push_back(LeadingInt(rest.substr(0, semicolon)));
        rest.remove_prefix(semicolon + 1);
    }
    return ids;
}

#include "agent/store/MessageFileReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCopy(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        c = Lower(c);
    }
    return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The whole file, or nothing when it cannot be read: a missing file reads as all defaults.
std::string ReadWhole(const std::string& path)
{
    std::string content;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return content;
    }
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        content.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return content;
}

} // namespace

CMessageFileReader::CMessageFileReader(const std::string& path)
    : m_content(ReadWhole(path))
{
    Index();
}

// One pass over the lines. The first section of a name and the first key of a name in it win,
// as with the profile functions; lines before any section and lines without "=" are ignored.
void CMessageFileReader::Index()
{
    std::string_view rest(m_content);
    constexpr size_t kNone = SIZE_MAX;
    size_t current = kNone;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = Trim(line);
        if (!line.empty() && line.front() == '[') {
            size_t close = line.find(']');
            std::string name = LowerCopy(Trim(line.substr(1, close == std::string_view::npos ? close : close - 1)));
            NoteMessageNumber(name);
            auto [it, inserted] = m_sectionByName.try_emplace(std::move(name), m_sections.size());
            current = kNone;
            if (inserted) {
                current = m_sections.size();
                m_sections.emplace_back();
            }
            continue;
        }
        size_t equals = line.find('=');
        if (current == kNone || equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = Trim(line.substr(0, equals));
        Section& section = m_sections[current];
        if (!FindKey(&section, key)) {
            section.emplace_back(key, Trim(line.substr(equals + 1)));
        }
    }
    std::sort(m_messageNumbers.begin(), m_messageNumbers.end());
    m_messageNumbers.erase(std::unique(m_messageNumbers.begin(), m_messageNumbers.end()), m_messageNumbers.end());
}

void CMessageFileReader::NoteMessageNumber(const std::string& lowerName)
{
    static constexpr std::string_view kPrefix = "message";
    if (lowerName.size() <= kPrefix.size() || lowerName.size() > kPrefix.size() + 9
        || lowerName.compare(0, kPrefix.size(), kPrefix) != 0 || lowerName[kPrefix.size()] == '0') {
        return;
    }
    int number = 0;
    for (size_t i = kPrefix.size(); i < lowerName.size(); ++i) {
        if (lowerName[i] < '0' || lowerName[i] > '9') {
            return;
        }
        number = number * 10 + (lowerName[i] - '0');
    }
    m_messageNumbers.push_back(number);
}

const CMessageFileReader::Section* CMessageFileReader::FindSection(const std::string& name) const
{
    auto it = m_sectionByName.find(LowerCopy(name));
    return it == m_sectionByName.end() ? nullptr : &m_sections[it->second];
}

const CMessageFileReader::Section* CMessageFileReader::MessageSection(int n) const
{
    if (n != m_lastNumber) {
        m_lastNumber = n;
        m_lastSection = FindSection("message" + std::to_string(n));
    }
    return m_lastSection;
}

const std::string_view* CMessageFileReader::FindKey(const Section* section, std::string_view key)
{
    if (!section) {
        return nullptr;
    }
    for (const auto& [name, value] : *section) {
        if (EqualsNoCase(name, key)) {
            return &value;
        }
    }
    return nullptr;
}

int32_t CMessageFileReader::ToInt(const std::string_view* value, int32_t fallback)
{
    if (!value) {
        return fallback;
    }
    long long number = 0;
    for (char c : *value) {
        if (c < '0' || c > '9') {
            break;
        }
        number = std::min<long long>(number * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<int32_t>(number);
}

std::string CMessageFileReader::ToString(const std::string_view* value, size_t bufferSize)
{
    if (!value || bufferSize == 0) {
        return {};
    }
    return std::string(value->substr(0, bufferSize - 1));
}

int32_t CMessageFileReader::GetInt(const std::string& section, const char* key, int32_t fallback) const
{
    return ToInt(FindKey(FindSection(section), key), fallback);
}

std::string CMessageFileReader::GetString(const std::string& section, const char* key, size_t bufferSize) const
{
    return ToString(FindKey(FindSection(section), key), bufferSize);
}

int32_t CMessageFileReader::HeaderCount() const
{
    return GetInt("Vandu", "Count", 0);
}

std::string CMessageFileReader::HeaderText(const char* key) const
{
    return GetString("Vandu", key, kShortBuffer);
}

int32_t CMessageFileReader::Type(int n) const
{
    return ToInt(FindKey(MessageSection(n), "Type"), 0);
}
int32_t CMessageFileReader::Read(int n) const
{
    return ToInt(FindKey(MessageSection(n), "Read"), 0);
}
std::string CMessageFileReader::Date(int n) const
{
    return ToString(FindKey(MessageSection(n), "Date"), kShortBuffer);
}
std::string CMessageFileReader::Time(int n) const
{
    return ToString(FindKey(MessageSection(n), "Time"), kShortBuffer);
}

std::string CMessageFileReader::Text(int n, size_t bufferSize) const
{
    return ToString(FindKey(MessageSection(n), "Message"), bufferSize);
}

std::string CMessageFileReader::CallerId(int n) const
{
    return ToString(FindKey(MessageSection(n), "CallerId"), kShortBuffer);
}

std::string CMessageFileReader::CallerName(int n) const
{
    return ToString(FindKey(MessageSection(n), "CallerIdName"), kShortBuffer);
}

std::string CMessageFileReader::SenderId(int n) const
{
    return ToString(FindKey(MessageSection(n), "SenderVanduID"), kShortBuffer);
}

std::string CMessageFileReader::FirstName(int n) const
{
    return ToString(FindKey(MessageSection(n), "FirstName"), kShortBuffer);
}

std::string CMessageFileReader::LastName(int n) const
{
    return ToString(FindKey(MessageSection(n), "LastName"), kShortBuffer);
}

#include "agent/store/MessageFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
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

// FNV-1a over the lower-cased bytes, so that names differing only in case meet.
uint32_t HashNoCase(std::string_view text)
{
    uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(Lower(c))) * 16777619u;
    }
    // Names like Key1, Key2, ... differ in their last bytes only; mixing spreads them over the
    // low bits, which pick the slot.
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    return hash;
}

} // namespace

CMessageFileReader::CMessageFileReader(const std::string& path)
{
    Load(path);
    if (m_state == EState::Read) {
        Index();
    }
}

// The first key of a name wins, as with the profile functions.
void CMessageFileReader::SSection::Add(std::string_view key, std::string_view value)
{
    if (!Slots) {
        if (Scan(key)) {
            return;
        }
        Keys.emplace_back(key, value);
        if (Keys.size() > kScanLimit) {
            Slots = std::make_unique<std::vector<SSlot>>();
            Rebuild(4 * Keys.size());
        }
        return;
    }
    // Positions are 32 bits: no file the agent could hold in memory comes near that many keys.
    if (Keys.size() >= UINT32_MAX / 4) {
        return;
    }
    const uint32_t hash = HashNoCase(key);
    SSlot& slot = (*Slots)[Probe(key, hash)];
    if (slot.Position != 0) {
        return;
    }
    Keys.emplace_back(key, value);
    slot = {hash, static_cast<uint32_t>(Keys.size())};
    if (Keys.size() * 2 > Slots->size()) {
        Rebuild(2 * Slots->size());
    }
}

const std::string_view* CMessageFileReader::SSection::Find(std::string_view key) const
{
    if (!Slots) {
        return Scan(key);
    }
    const SSlot& slot = (*Slots)[Probe(key, HashNoCase(key))];
    return slot.Position == 0 ? nullptr : &Keys[slot.Position - 1].second;
}

inline const std::string_view* CMessageFileReader::SSection::Scan(std::string_view key) const
{
    for (const auto& [name, value] : Keys) {
        // Most names differ in length: that test alone, inline, keeps a scan cheap.
        if (name.size() == key.size() && EqualsNoCase(name, key)) {
            return &value;
        }
    }
    return nullptr;
}

// The slot holding the key, or the free slot where it belongs. The table is never full.
size_t CMessageFileReader::SSection::Probe(std::string_view key, uint32_t hash) const
{
    const std::vector<SSlot>& slots = *Slots;
    const size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const SSlot& slot = slots[i];
        if (slot.Position == 0 || (slot.Hash == hash && EqualsNoCase(Keys[slot.Position - 1].first, key))) {
            return i;
        }
    }
}

// slotCount is rounded up to a power of two, so that a mask picks the slot. The names are all
// different, so each one goes to the first free slot from its hash.
void CMessageFileReader::SSection::Rebuild(size_t slotCount)
{
    size_t size = 1;
    while (size < slotCount) {
        size *= 2;
    }
    std::vector<SSlot> old(size);
    old.swap(*Slots);
    if (old.empty()) {
        for (size_t i = 0; i < Keys.size(); ++i) {
            old.push_back({HashNoCase(Keys[i].first), static_cast<uint32_t>(i + 1)});
        }
    }
    std::vector<SSlot>& slots = *Slots;
    const size_t mask = size - 1;
    for (const SSlot& slot : old) {
        if (slot.Position == 0) {
            continue;
        }
        size_t i = slot.Hash & mask;
        while (slots[i].Position != 0) {
            i = (i + 1) & mask;
        }
        slots[i] = slot;
    }
}

// The whole file, or nothing: a part of a file is never indexed, since what is missing from it
// would read as defaults and the next save would make that loss final.
void CMessageFileReader::Load(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_state = errno == ENOENT ? EState::Missing : EState::Unreadable;
        return;
    }
    m_state = EState::Read;
    struct stat info { };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        m_content.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            m_state = EState::Unreadable;
            m_content.clear();
            break;
        }
        if (got == 0) {
            break;
        }
        m_content.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
}

// One pass over the lines. The first section of a name and the first key of a name in it win,
// as with the profile functions; lines before any section and lines without "=" are ignored.
void CMessageFileReader::Index()
{
    std::string_view rest(m_content);
    size_t current = kNoSection;
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
            const bool inserted = m_sectionByName.try_emplace(std::move(name), m_sections.size()).second;
            current = kNoSection;
            if (inserted) {
                current = m_sections.size();
                m_sections.emplace_back();
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (current == kNoSection || equals == std::string_view::npos) {
            continue;
        }
        m_sections[current].Add(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
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

const CMessageFileReader::SSection* CMessageFileReader::FindSection(const std::string& name) const
{
    const auto it = m_sectionByName.find(LowerCopy(name));
    return it == m_sectionByName.end() ? nullptr : &m_sections[it->second];
}

const CMessageFileReader::SSection* CMessageFileReader::MessageSection(int n) const
{
    if (n != m_lastNumber) {
        m_lastNumber = n;
        // Already lower case: no copy to lower it.
        const auto it = m_sectionByName.find("message" + std::to_string(n));
        m_lastSection = it == m_sectionByName.end() ? nullptr : &m_sections[it->second];
    }
    return m_lastSection;
}

const std::string_view* CMessageFileReader::FindKey(const SSection* section, std::string_view key)
{
    return section ? section->Find(key) : nullptr;
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

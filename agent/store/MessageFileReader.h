#pragma once

// Reads a message file with the lookup rules of classic INI profile strings: sections and keys
// are found by name whatever their case and position, a missing file, section or key gives the
// default, an integer is its leading decimal digits, a string is the text after "=" with blanks
// around it removed and cut to the buffer size minus one. The file is read and indexed once when
// the reader is made, so a load costs time in proportion to the file's size.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class CMessageFileReader {
public:
    // Buffer sizes in characters, the terminating zero included.
    static constexpr size_t kShortBuffer = 100;
    static constexpr size_t kLongBuffer = 5120;

    explicit CMessageFileReader(const std::string& path);
    CMessageFileReader(const CMessageFileReader&) = delete;
    CMessageFileReader& operator=(const CMessageFileReader&) = delete;

    // The header section "Vandu".
    int32_t HeaderCount() const;
    std::string HeaderText(const char* key) const;

    // The numbers n of the sections "Message<n>" in the file, ascending and without repeats: no
    // other section number can hold a message, however large the count claims to be.
    const std::vector<int>& MessageNumbers() const { return m_messageNumbers; }

    // Section "Message<n>".
    int32_t Type(int n) const;
    int32_t Read(int n) const;
    std::string Date(int n) const;
    std::string Time(int n) const;
    std::string Text(int n, size_t bufferSize) const;
    std::string CallerId(int n) const;
    std::string CallerName(int n) const;
    std::string SenderId(int n) const;
    std::string FirstName(int n) const;
    std::string LastName(int n) const;

    // The profile functions themselves, for any section and key.
    int32_t GetInt(const std::string& section, const char* key, int32_t fallback) const;
    std::string GetString(const std::string& section, const char* key, size_t bufferSize) const;

private:
    using Section = std::vector<std::pair<std::string_view, std::string_view>>;

    void Index();
    void NoteMessageNumber(const std::string& lowerName);
    const Section* FindSection(const std::string& name) const;
    const Section* MessageSection(int n) const;
    static const std::string_view* FindKey(const Section* section, std::string_view key);
    static int32_t ToInt(const std::string_view* value, int32_t fallback);
    static std::string ToString(const std::string_view* value, size_t bufferSize);

    std::string m_content;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_sectionByName;
    std::vector<int> m_messageNumbers;
    mutable int m_lastNumber = -1;
    mutable const Section* m_lastSection = nullptr;
};

#pragma once

// Reads a message file with the lookup rules of classic INI profile strings: sections and keys
// are found by name whatever their case and position, a missing file, section or key gives the
// default, an integer is its leading decimal digits, a string is the text after "=" with blanks
// around it removed and cut to the buffer size minus one. The file is read and indexed once when
// the reader is made (sections and keys in hash tables of their lower-cased names), so a load costs
// time in proportion to the file's size however many keys one section holds.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class CMessageFileReader {
public:
    // A missing file is an ordinary start (no messages yet); a file that exists but could not be
    // read whole reads as all defaults too, but must not be taken for an empty one.
    enum class EState { Read, Missing, Unreadable };

    // Buffer sizes in characters, the terminating zero included.
    static constexpr size_t kShortBuffer = 100;
    static constexpr size_t kLongBuffer = 5120;

    explicit CMessageFileReader(const std::string& path);
    CMessageFileReader(const CMessageFileReader&) = delete;
    CMessageFileReader& operator=(const CMessageFileReader&) = delete;

    EState State() const { return m_state; }

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
    static constexpr size_t kNoSection = SIZE_MAX;
    // A few keys are found faster by a scan than by hashing; past this many a section is indexed.
    static constexpr size_t kScanLimit = 16;

    // The first key of each name in file order; names and values point into the file's content.
    // Past kScanLimit keys the section gets an index: an open-addressing table of positions in
    // Keys by the hash of the lower-cased name, kept at most half full.
    struct SSection {
        struct SSlot {
            uint32_t Hash = 0;
            uint32_t Position = 0; // 1-based; 0 marks a free slot
        };
        std::vector<std::pair<std::string_view, std::string_view>> Keys;
        // Made only for big sections: most sections stay small, and so does their record.
        std::unique_ptr<std::vector<SSlot>> Slots;

        void Add(std::string_view key, std::string_view value);
        const std::string_view* Find(std::string_view key) const;

    private:
        const std::string_view* Scan(std::string_view key) const;
        size_t Probe(std::string_view key, uint32_t hash) const;
        void Rebuild(size_t slotCount);
    };

    void Load(const std::string& path);
    void Index();
    void NoteMessageNumber(const std::string& lowerName);
    const SSection* FindSection(const std::string& name) const;
    const SSection* MessageSection(int n) const;
    static const std::string_view* FindKey(const SSection* section, std::string_view key);
    static int32_t ToInt(const std::string_view* value, int32_t fallback);
    static std::string ToString(const std::string_view* value, size_t bufferSize);

    EState m_state = EState::Missing;
    std::string m_content;
    std::vector<SSection> m_sections;
    std::unordered_map<std::string, size_t> m_sectionByName;
    std::vector<int> m_messageNumbers;
    mutable int m_lastNumber = -1;
    mutable const SSection* m_lastSection = nullptr;
};

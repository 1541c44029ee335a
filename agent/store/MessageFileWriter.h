#pragma once

// Writes the message file: the header section "[Vandu]" with the count and the six header
// values, then one "[Message<n>]" section per message, every line ended by a single line feed.
// Values are written verbatim except that CR and LF become blanks, so no value can add keys or
// sections. CAtomicFileWriter puts the text in place.

#include <memory>
#include <string>
#include <vector>

class CStoredMessage;

// The header values as the store saves them.
struct SMessageFileHeader {
    std::string LastDownloaded;
    std::string SponsorID;
    std::string SponsorDesc;
    std::string SponsorURL;
    std::string VendorDesc;
    std::string VendorURL;
};

class CMessageFileWriter {
public:
    // The complete file text for these messages, oldest first.
    static std::string BuildText(
        const std::vector<std::unique_ptr<CStoredMessage>>& messages, const SMessageFileHeader& header);
    // Appends the section "[Message<number>]" of one message, preceded by an empty line. Its last
    // line is always "Read=", so a section cut short by a crash can be told from a whole one.
    static void AppendSection(std::string& out, const CStoredMessage& message, size_t number);

private:
    static void AppendLine(std::string& out, const char* key, const std::string& value);
};

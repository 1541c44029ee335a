// Reads arbitrary bytes as a message file, writes what was read, and reads that back: the messages
// must survive the round trip, up to what the format itself normalises (type 2 is written as 3,
// a read flag as 0 or 1, a line break inside a value as a blank, blanks around a value are not
// kept). Writing and reading once more must then change nothing at all.

#include "agent/store/AtomicFileWriter.h"
#include "agent/store/MessageFileWriter.h"
#include "agent/store/MessageList.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// A message folder of its own for the life of the process.
class CFuzzFolder {
public:
    CFuzzFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vandu-fuzz-XXXXXX").string();
        Check(::mkdtemp(pattern.data()) != nullptr);
        m_path = pattern;
    }
    ~CFuzzFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// What a value becomes once written and read back.
std::string Written(std::string_view value)
{
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const size_t first = out.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

SMessageFileHeader HeaderOf(const CMessageList& list)
{
    return {list.LastDownloaded(), list.SponsorID(), list.SponsorDesc(), list.SponsorURL(), list.VendorDesc(),
        list.VendorURL()};
}

std::unique_ptr<CMessageList> Load(const std::string& folder)
{
    auto list = std::make_unique<CMessageList>(folder);
    Check(list->Load("4711"));
    return list;
}

std::string SaveText(const CMessageList& list)
{
    return CMessageFileWriter::BuildText(list.Messages(), HeaderOf(list));
}

void CheckSameAfterWriting(const CMessageList& read, const CMessageList& reread)
{
    Check(reread.Count() == read.Count());
    Check(reread.LastDownloaded() == Written(read.LastDownloaded()));
    Check(reread.SponsorID() == Written(read.SponsorID()));
    Check(reread.SponsorDesc() == Written(read.SponsorDesc()));
    Check(reread.SponsorURL() == Written(read.SponsorURL()));
    Check(reread.VendorDesc() == Written(read.VendorDesc()));
    Check(reread.VendorURL() == Written(read.VendorURL()));
    for (int i = 0; i < read.Count(); ++i) {
        const CStoredMessage& a = *read.At(i);
        const CStoredMessage& b = *reread.At(i);
        Check(b.Type() == (a.Type() == 2 ? 3 : a.Type()));
        Check((b.Read() != 0) == (a.Read() != 0));
        Check(b.Date() == Written(a.Date()) && b.Time() == Written(a.Time()));
        Check(b.Text() == Written(a.Text()) && b.VoiceFile() == Written(a.VoiceFile()));
        Check(b.CallerId() == Written(a.CallerId()) && b.CallerIdName() == Written(a.CallerIdName()));
        Check(b.SenderVanduID() == Written(a.SenderVanduID()));
        Check(b.FirstName() == Written(a.FirstName()) && b.LastName() == Written(a.LastName()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CFuzzFolder folder;
    const std::string path = folder.Path() + "/4711.vdm";
    Check(static_cast<bool>(CAtomicFileWriter::Write(path, {reinterpret_cast<const char*>(data), size}, false)));
    const std::unique_ptr<CMessageList> read = Load(folder.Path());

    Check(static_cast<bool>(CAtomicFileWriter::Write(path, SaveText(*read), false)));
    const std::unique_ptr<CMessageList> reread = Load(folder.Path());
    CheckSameAfterWriting(*read, *reread);

    // Once written, a file is a fixed point: writing what was read from it gives the same bytes.
    const std::string written = SaveText(*reread);
    Check(static_cast<bool>(CAtomicFileWriter::Write(path, written, false)));
    const std::unique_ptr<CMessageList> third = Load(folder.Path());
    CheckSameAfterWriting(*reread, *third);
    Check(SaveText(*third) == written);
    return 0;
}

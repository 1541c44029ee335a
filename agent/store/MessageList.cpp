#include "agent/store/MessageList.h"

#include "agent/store/AtomicFileWriter.h"
#include "agent/store/MessageFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

CMessageList::CMessageList(std::string folder)
    : m_folder(std::move(folder))
{
}

void CMessageList::Append(char ordinal, std::string date, std::string time, int32_t read, std::string text,
    int32_t type, std::string voiceFile, std::string callerId, std::string callerIdName, std::string senderVanduID,
    std::string firstName, std::string lastName)
{
    m_messages.push_back(std::make_unique<CStoredMessage>(ordinal, std::move(date), std::move(time), read,
        std::move(text), type, std::move(voiceFile), std::move(callerId), std::move(callerIdName),
        std::move(senderVanduID), std::move(firstName), std::move(lastName)));
}

void CMessageList::RemoveAt(int index)
{
    m_messages.erase(m_messages.begin() + index);
}

void CMessageList::DeleteAll()
{
    m_messages.clear();
}

int CMessageList::UnreadCount() const
{
    int unread = 0;
    for (const auto& message : m_messages) {
        unread += message->Read() == 0 ? 1 : 0;
    }
    return unread;
}

bool CMessageList::IsPlainVanduID(const std::string& vanduID)
{
    return vanduID.size() <= kMaxVanduIDBytes && vanduID != "." && vanduID != ".."
        && vanduID.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool CMessageList::Load(const std::string& vanduID)
{
    m_filePath = IsPlainVanduID(vanduID) ? m_folder + "/" + vanduID + ".vdm" : std::string();
    m_journalSections = 0;
    m_journalReplayed = false;
    // No path reads as a missing file.
    CMessageFileReader reader(m_filePath);
    m_readFailed = reader.State() == CMessageFileReader::EState::Unreadable;
    const int count = reader.HeaderCount();
    m_header.LastDownloaded = reader.HeaderText("LastDownloaded");
    m_header.SponsorID = reader.HeaderText("SponsorID");
    m_header.SponsorURL = reader.HeaderText("SponsorURL");
    m_header.SponsorDesc = reader.HeaderText("SponsorDesc");
    m_header.VendorURL = reader.HeaderText("VendorURL");
    m_header.VendorDesc = reader.HeaderText("VendorDesc");
    const int before = Count();
    // Only the sections present can hold a message (any other number reads as type 0), so a
    // damaged count of two billion costs nothing.
    for (const int i : reader.MessageNumbers()) {
        if (i > count) {
            break;
        }
        // The ordinal keeps only the low 8 bits of the section number.
        AppendFromFile(reader, i, static_cast<char>(static_cast<unsigned char>(i & 0xFF)));
    }
    m_fileCount = Count() - before;
    if (!m_readFailed && !m_filePath.empty()) {
        m_readFailed = !ReplayJournal(m_fileCount);
    }
    return !m_readFailed;
}

void CMessageList::AppendFromFile(const CMessageFileReader& reader, int n, char ordinal)
{
    switch (reader.Type(n)) {
    case 1:
        Append(ordinal, reader.Date(n), reader.Time(n), reader.Read(n), {}, 1,
            reader.Text(n, CMessageFileReader::kShortBuffer), reader.CallerId(n), reader.CallerName(n), {}, {}, {});
        break;
    case 2:
        Append(ordinal, reader.Date(n), reader.Time(n), reader.Read(n),
            reader.Text(n, CMessageFileReader::kShortBuffer), 2, {}, {}, {}, {}, {}, {});
        break;
    case 3:
        Append(ordinal, reader.Date(n), reader.Time(n), reader.Read(n), reader.Text(n, CMessageFileReader::kLongBuffer),
            3, {}, {}, {}, reader.SenderId(n), reader.FirstName(n), reader.LastName(n));
        break;
    default:
        break;
    }
}

// Appends the messages of a journal written over a file of fileCount messages. A journal over
// another count is one whose messages a save already wrote into the file: it goes. False when
// the journal exists but could not be read.
bool CMessageList::ReplayJournal(int fileCount)
{
    CMessageFileReader journal(JournalPath());
    if (journal.State() != CMessageFileReader::EState::Read) {
        return journal.State() == CMessageFileReader::EState::Missing;
    }
    if (journal.GetInt("Journal", "Base", -1) != fileCount) {
        ::unlink(JournalPath().c_str());
        return true;
    }
    for (const int n : journal.MessageNumbers()) {
        m_journalSections = n;
        // A section cut short by a crash has no "Read=" yet: its message was never marked
        // delivered, and comes again with the next poll.
        if (!journal.GetString("Message" + std::to_string(n), "Read", 2).empty()) {
            AppendFromFile(journal, n, static_cast<char>(static_cast<unsigned char>((Count() + 1) & 0xFF)));
            m_journalReplayed = true;
        }
    }
    return true;
}

int CMessageList::Save(const SMessageFileHeader& header, bool durable)
{
    if (m_filePath.empty() || m_readFailed) {
        return 0;
    }
    if (!CAtomicFileWriter::Write(m_filePath, CMessageFileWriter::BuildText(m_messages, header), durable)) {
        return 0;
    }
    m_fileCount = Count();
    ::unlink(JournalPath().c_str());
    m_journalSections = 0;
    m_journalReplayed = false;
    return 1;
}

CMessageList::ELogResult CMessageList::LogNewest()
{
    if (m_filePath.empty() || m_readFailed) {
        return ELogResult::NoFile;
    }
    if (m_messages.empty()) {
        return ELogResult::Failed;
    }
    std::string record;
    const bool first = m_journalSections == 0;
    if (first) {
        record = "[Journal]\nBase=" + std::to_string(m_fileCount) + "\n";
    }
    CMessageFileWriter::AppendSection(record, *m_messages.back(), static_cast<size_t>(m_journalSections) + 1);
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (first ? O_TRUNC : O_APPEND);
    const int fd = ::open(JournalPath().c_str(), flags, 0600);
    if (fd < 0) {
        return ELogResult::Failed;
    }
    struct stat before { };
    bool written = ::fstat(fd, &before) == 0;
    for (size_t done = 0; written && done < record.size();) {
        const ssize_t n = ::write(fd, record.data() + done, record.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        written = n > 0;
        done += written ? static_cast<size_t>(n) : 0;
    }
    if (!written) {
        // A part of a section would read as a whole one if the cut fell after its "Read=" line.
        if (::ftruncate(fd, first ? 0 : before.st_size) != 0) {
            // Nothing better to do: the part stays, and is skipped when it has no "Read=".
        }
    }
    ::close(fd);
    if (!written) {
        return ELogResult::Failed;
    }
    ++m_journalSections;
    return ELogResult::Logged;
}

#include "agent/store/MessageList.h"

#include "agent/store/AtomicFileWriter.h"
#include "agent/store/MessageFileReader.h"

#include <algorithm>
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
    // Only the sections present can hold a message (any other number reads as type 0), so a
    // damaged count of two billion costs nothing.
    for (const int i : reader.MessageNumbers()) {
        if (i > count) {
            break;
        }
        // The ordinal keeps only the low 8 bits of the section number.
        const char ordinal = static_cast<char>(static_cast<unsigned char>(i & 0xFF));
        switch (reader.Type(i)) {
        case 1:
            Append(ordinal, reader.Date(i), reader.Time(i), reader.Read(i), {}, 1,
                reader.Text(i, CMessageFileReader::kShortBuffer), reader.CallerId(i), reader.CallerName(i), {}, {}, {});
            break;
        case 2:
            Append(ordinal, reader.Date(i), reader.Time(i), reader.Read(i),
                reader.Text(i, CMessageFileReader::kShortBuffer), 2, {}, {}, {}, {}, {}, {});
            break;
        case 3:
            Append(ordinal, reader.Date(i), reader.Time(i), reader.Read(i),
                reader.Text(i, CMessageFileReader::kLongBuffer), 3, {}, {}, {}, reader.SenderId(i), reader.FirstName(i),
                reader.LastName(i));
            break;
        default:
            break;
        }
    }
    return !m_readFailed;
}

int CMessageList::Save(const SMessageFileHeader& header, bool durable) const
{
    if (m_filePath.empty() || m_readFailed) {
        return 0;
    }
    return CAtomicFileWriter::Write(m_filePath, CMessageFileWriter::BuildText(m_messages, header), durable) ? 1 : 0;
}

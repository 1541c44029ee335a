#pragma once

// The messages of one subscriber in arrival order (index 0 the oldest), owned by the list, with
// the header values last read from the message file. Not synchronised: CMessageStore guards it.

#include "agent/store/MessageFileWriter.h"
#include "agent/store/StoredMessage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMessageFileReader;

class CMessageList {
public:
    // The folder holding the message files, "msg" under the current directory in the agent.
    explicit CMessageList(std::string folder = "msg");

    int Count() const { return static_cast<int>(m_messages.size()); }
    bool HasMessages() const { return !m_messages.empty(); }
    // The caller keeps the index in 0 .. Count() - 1.
    CStoredMessage* At(int index) const { return m_messages[static_cast<size_t>(index)].get(); }
    void Append(char ordinal, std::string date, std::string time, int32_t read, std::string text, int32_t type,
        std::string voiceFile, std::string callerId, std::string callerIdName, std::string senderVanduID,
        std::string firstName, std::string lastName);
    void RemoveAt(int index);
    void DeleteAll();
    int UnreadCount() const;

    // Sets the file path for the ID and appends the file's messages, then those its journal holds
    // (see LogNewest); the list is not emptied first. An ID that cannot be a file name (see
    // IsPlainVanduID) gets no file: its messages live in memory only. Returns false when the file
    // or its journal exists but could not be read: until a later load succeeds, Save then leaves
    // both alone rather than write the few messages in memory over all those they hold.
    bool Load(const std::string& vanduID);
    // Writes the file with these header values; 1 when written, 0 when there is no path, the last
    // load could not read the file, or the write failed (the old file then stays as it was).
    // durable: flushed to the disk before the old file is replaced. A written file holds all the
    // journal did, so the journal goes.
    int Save(const SMessageFileHeader& header, bool durable = true);
    bool ReadFailed() const { return m_readFailed; }
    // Whether the last load took messages from a journal that a save has not yet folded in.
    bool JournalReplayed() const { return m_journalReplayed; }

    // Writes the newest message down at once, so that it survives a kill or a crash: the poll
    // calls it before it tells the service the message was delivered. Rewriting the whole file
    // for each of a hundred messages would cost more than the downloads, so the message is
    // appended to a journal beside the file ("<ID>.vdm.journal", not flushed), which the next
    // load replays and the next save removes. Without a file (see Load) there is nothing to
    // write: kNoFile. kFailed leaves the journal as it was.
    enum class ELogResult { Logged, NoFile, Failed };
    ELogResult LogNewest();

    // An ID usable in a file name: no "/", backslash or zero byte, not "." or "..", at most 64 bytes.
    // The empty ID, which the agent may load before a subscriber signs up, is one too.
    static bool IsPlainVanduID(const std::string& vanduID);
    static constexpr size_t kMaxVanduIDBytes = 64;

    const std::string& Folder() const { return m_folder; }
    const std::string& FilePath() const { return m_filePath; }
    const std::string& LastDownloaded() const { return m_header.LastDownloaded; }
    const std::string& SponsorID() const { return m_header.SponsorID; }
    const std::string& SponsorURL() const { return m_header.SponsorURL; }
    const std::string& SponsorDesc() const { return m_header.SponsorDesc; }
    const std::string& VendorURL() const { return m_header.VendorURL; }
    const std::string& VendorDesc() const { return m_header.VendorDesc; }
    const std::vector<std::unique_ptr<CStoredMessage>>& Messages() const { return m_messages; }

private:
    void AppendFromFile(const CMessageFileReader& reader, int n, char ordinal);
    std::string JournalPath() const { return m_filePath + ".journal"; }
    bool ReplayJournal(int fileCount);

    std::vector<std::unique_ptr<CStoredMessage>> m_messages;
    std::string m_folder;
    std::string m_filePath;
    bool m_readFailed = false;
    // How many messages the file on the disk holds, as last read or written: a journal records
    // it, and is replayed only over a file with that many messages (a save that wrote the
    // journal's messages into the file but was killed before it removed the journal leaves
    // one with more).
    int m_fileCount = 0;
    // The number of the journal's last section; 0 when this list has no journal yet.
    int m_journalSections = 0;
    bool m_journalReplayed = false;
    SMessageFileHeader m_header;
};

#pragma once

// CMessageStore: the one way the agent reads and changes the subscriber's messages. It owns the
// message list, knows the current message, keeps the working copies of the header values and the
// LCD status line, and drives the LCD renderer and the sound player.
//
// The poll, sponsor and vendor jobs call it from their worker threads while the UI thread draws,
// navigates and deletes, so every public operation holds one lock from start to end; operations
// that use others do so through the unlocked helpers. The renderer and the sound player are
// called under that lock and must not call back into the store.

#include "agent/audio/SoundPlayerInterface.h"
#include "agent/lcd/TimeSource.h"
#include "agent/settings/SettingsStore.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/LcdRendererInterface.h"
#include "agent/store/MessageList.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

class CMessageStore {
public:
    // The LCD area inside the main window.
    static constexpr int kLcdLeft = 29;
    static constexpr int kLcdTop = 60;
    static constexpr int kLcdWidth = 165;
    static constexpr int kLcdHeight = 58;

    // What the status line says once when the subscriber's message file exists but cannot be read.
    static constexpr const char* kReadFailedText = "Could not read messages";

    // folder: where the message files and recordings live ("msg" under the current directory).
    CMessageStore(ILcdRenderer& renderer, ISoundPlayer& player, CSettingsStore& settings, CAccountInfo& account,
        const ITimeSource& timeSource, std::string folder = "msg");
    CMessageStore(const CMessageStore&) = delete;
    CMessageStore& operator=(const CMessageStore&) = delete;

    // Also clears the folder of temporary files that interrupted writes left behind, so it must
    // come before any job runs.
    void Open(const std::string& vanduID);
    void Reload();
    // Returns 1 when the file was written; a failure keeps the old file and the messages.
    int Save();
    // Adds a message the poll downloaded and writes it down at once (see CMessageList::LogNewest),
    // before the poll tells the service it was delivered; the current message stays. False when
    // it could not be written down: it is then not kept either, and comes again with the next poll.
    bool AddDownloadedMessage(const std::string& date, const std::string& time, int32_t type,
        const std::string& callerId, const std::string& callerIdName, const std::string& text,
        const std::string& voiceFile, const std::string& senderVanduID, const std::string& firstName,
        const std::string& lastName);
    void SetLastDownloaded(const std::string& text);
    void RefreshStatus();
    void SetMailStatus(int32_t value);
    void SetStatusOverride(bool flag, const std::string& text);

    void PreviousMessage();
    void NextMessage();
    void ScrollUp();
    void ScrollDown();
    void ClickLcd();
    void PlayCurrentVoice();
    void StopPlaying();
    void DeleteCurrent();
    // Deletes the current message only when it is still the one at index that the user confirmed
    // (a poll may have made another message current while the question was open).
    bool DeleteIfCurrent(int index, const CStoredMessage& expected);
    void DeleteAll();
    void Redraw();
    // Runs change (on the renderer, say) while no job can draw, then redraws.
    void RedrawAfter(const std::function<void()>& change);

    // A copy of the current message (which may make index 0 current or set the status line).
    std::optional<CStoredMessage> CurrentMessage();
    // A copy of the message at a 0-based index, none when out of range.
    std::optional<CStoredMessage> MessageAt(int index) const;
    int Count() const;
    int UnreadCount() const;
    bool HasMessages() const;

    // The detail dialog's texts for the message at the current index.
    std::string DetailText() const;
    std::string DetailFrom() const;
    std::string DetailReceived() const;

    // The sponsor and vendor values the sponsor and vendor jobs set before they save.
    void SetSponsorID(const std::string& value);
    void SetSponsorDesc(const std::string& value);
    void SetSponsorURL(const std::string& value);
    void SetVendorDesc(const std::string& value);
    void SetVendorURL(const std::string& value);
    SMessageFileHeader HeaderValues() const;

    int CurrentIndex() const;
    std::string StatusLine() const;
    bool StatusOverride() const;
    bool ResetScroll() const;
    int32_t MailStatus() const;
    // The poll job reads the ID and password through here.
    CSettingsStore& Settings() const { return m_settings; }
    const std::string& Folder() const { return m_list.Folder(); }

    // True for a plain file name inside the message folder: not empty, no "/" or "\", not "."
    // or "..", no zero byte. Any other voice file is never played and never deleted.
    static bool IsPlainFileName(const std::string& name);

private:
    CStoredMessage* CurrentMessageUnlocked();
    const CStoredMessage* IndexedMessageUnlocked() const;
    std::string StatusTextUnlocked(int newCount) const;
    void RefreshStatusUnlocked();
    void LoadUnlocked(const std::string& vanduID);
    void RemoveLeftoverFilesUnlocked();
    int SaveUnlocked();
    void DeleteCurrentUnlocked();
    void RedrawUnlocked();
    void PlayUnlocked(CStoredMessage& message);
    void RemoveVoiceFileUnlocked(const CStoredMessage& message);

    mutable std::mutex m_mutex;
    SMessageFileHeader m_header;
    CSettingsStore& m_settings;
    CAccountInfo& m_account;
    int m_currentIndex = -1;
    bool m_statusOverride = false;
    // The last load found a file it could not read, and the user has not been shown that yet.
    bool m_readFailedNotice = false;
    std::string m_statusLine;
    bool m_resetScroll = false;
    CMessageList m_list;
    ILcdRenderer& m_renderer;
    int32_t m_mailStatus = -1;
    ISoundPlayer& m_player;
    const ITimeSource& m_timeSource;
};

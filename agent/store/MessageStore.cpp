#include "agent/store/MessageStore.h"

#include "agent/lcd/MessageText.h"
#include "agent/store/AtomicFileWriter.h"

#include <dirent.h>
#include <unistd.h>

#include <string_view>
#include <utility>

CMessageStore::CMessageStore(ILcdRenderer& renderer, ISoundPlayer& player, CSettingsStore& settings,
    CAccountInfo& account, const ITimeSource& timeSource, std::string folder)
    : m_settings(settings)
    , m_account(account)
    , m_list(std::move(folder))
    , m_renderer(renderer)
    , m_player(player)
    , m_timeSource(timeSource)
{
}

bool CMessageStore::IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".."
        && name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

CStoredMessage* CMessageStore::CurrentMessageUnlocked()
{
    if (m_list.HasMessages()) {
        if (m_currentIndex < 0) {
            m_currentIndex = 0;
        }
        return m_list.At(m_currentIndex);
    }
    if (!m_statusOverride) {
        m_statusLine = StatusTextUnlocked(0);
    }
    return nullptr;
}

// The message at the current index without touching any state, as the detail dialog wants it.
const CStoredMessage* CMessageStore::IndexedMessageUnlocked() const
{
    if (!m_list.HasMessages()) {
        return nullptr;
    }
    return m_list.At(m_currentIndex < 0 ? 0 : m_currentIndex);
}

std::string CMessageStore::StatusTextUnlocked(int newCount) const
{
    if (m_readFailedNotice && !m_statusOverride) {
        return kReadFailedText;
    }
    return CMessageText::StatusText(newCount, m_list.Count(), m_mailStatus, m_statusOverride, m_statusLine);
}

void CMessageStore::RefreshStatusUnlocked()
{
    m_statusLine = StatusTextUnlocked(m_list.UnreadCount());
}

int CMessageStore::SaveUnlocked()
{
    int written = m_list.Save(m_header);
    // Every save makes the newest message current, written or not.
    if (m_list.HasMessages()) {
        m_currentIndex = m_list.Count() - 1;
    }
    return written;
}

void CMessageStore::RedrawUnlocked()
{
    CStoredMessage* message = CurrentMessageUnlocked();
    m_renderer.Draw(message, m_currentIndex + 1, m_resetScroll, std::string(m_statusLine), m_statusOverride);
    CAccountInfo::Names names = m_account.GetNames();
    m_renderer.DrawTitle(CMessageText::TitleText(m_settings.GetVanduID(), names.FirstName, names.LastName));
}

void CMessageStore::PlayUnlocked(CStoredMessage& message)
{
    if (IsPlainFileName(message.VoiceFile())) {
        m_player.PlayFile(m_list.Folder() + "/" + message.VoiceFile());
    }
    message.SetRead(1);
}

void CMessageStore::RemoveVoiceFileUnlocked(const CStoredMessage& message)
{
    if (message.IsVoice() && IsPlainFileName(message.VoiceFile())) {
        // A recording that is already gone is fine.
        unlink((m_list.Folder() + "/" + message.VoiceFile()).c_str());
    }
}

// A file that exists but could not be read is left as it is (the list refuses to save over it),
// and the status line says so instead of showing an empty list as the truth. It says so once:
// until the user clicks the LCD or news (messages, mail) refreshes the status.
void CMessageStore::LoadUnlocked(const std::string& vanduID)
{
    m_readFailedNotice = !m_list.Load(vanduID);
    RefreshStatusUnlocked();
}

// Temporary files of recordings, pictures and message files whose writing was cut short by a
// crash, a kill or a full disk: nothing else ever removes them.
void CMessageStore::RemoveLeftoverFilesUnlocked()
{
    DIR* folder = ::opendir(m_list.Folder().c_str());
    if (!folder) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (CAtomicFileWriter::IsLeftoverOf(name, ".vdm") || CAtomicFileWriter::IsLeftoverOf(name, ".wav")
            || CAtomicFileWriter::IsLeftoverOf(name, ".bmp")) {
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

void CMessageStore::Open(const std::string& vanduID)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_renderer.Setup(kLcdLeft, kLcdTop, kLcdWidth, kLcdHeight);
    RemoveLeftoverFilesUnlocked();
    if (vanduID.empty()) {
        return;
    }
    LoadUnlocked(vanduID);
    m_header.LastDownloaded = m_list.LastDownloaded();
    m_header.SponsorID = m_list.SponsorID();
    m_header.SponsorDesc = m_list.SponsorDesc();
    m_header.SponsorURL = m_list.SponsorURL();
    m_header.VendorDesc = m_list.VendorDesc();
    m_header.VendorURL = m_list.VendorURL();
    // Messages a killed poll left in the journal go into the file now, before any job runs.
    if (m_list.JournalReplayed()) {
        m_list.Save(m_header);
    }
    RedrawUnlocked();
}

void CMessageStore::Reload()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_list.DeleteAll();
    LoadUnlocked(m_settings.GetVanduID());
    // The vendor belongs to the installation, not to the subscriber: its values stay.
    m_header.LastDownloaded = m_list.LastDownloaded();
    m_header.SponsorID = m_list.SponsorID();
    m_header.SponsorDesc = m_list.SponsorDesc();
    m_header.SponsorURL = m_list.SponsorURL();
    // The previous subscriber's index may lie beyond the new list.
    if (m_currentIndex >= m_list.Count()) {
        m_currentIndex = m_list.Count() - 1;
    }
    RedrawUnlocked();
    SaveUnlocked();
    m_currentIndex = m_list.HasMessages() ? 0 : -1;
}

int CMessageStore::Save()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return SaveUnlocked();
}

bool CMessageStore::AddDownloadedMessage(const std::string& date, const std::string& time, int32_t type,
    const std::string& callerId, const std::string& callerIdName, const std::string& text, const std::string& voiceFile,
    const std::string& senderVanduID, const std::string& firstName, const std::string& lastName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const char ordinal = static_cast<char>(static_cast<unsigned char>((m_list.Count() + 1) & 0xFF));
    m_list.Append(
        ordinal, date, time, 0, text, type, voiceFile, callerId, callerIdName, senderVanduID, firstName, lastName);
    if (m_list.LogNewest() == CMessageList::ELogResult::Failed) {
        m_list.RemoveAt(m_list.Count() - 1);
        return false;
    }
    return true;
}

void CMessageStore::SetLastDownloaded(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_header.LastDownloaded = text;
}

void CMessageStore::RefreshStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readFailedNotice = false;
    RefreshStatusUnlocked();
}

void CMessageStore::SetMailStatus(int32_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mailStatus = value;
}

void CMessageStore::SetStatusOverride(bool flag, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_statusOverride = flag;
    m_statusLine = text;
}

void CMessageStore::PreviousMessage()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_currentIndex > 0) {
        --m_currentIndex;
    }
    m_resetScroll = true;
}

void CMessageStore::NextMessage()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_currentIndex < m_list.Count() - 1 && m_currentIndex != -1) {
        ++m_currentIndex;
    }
    m_resetScroll = true;
}

void CMessageStore::ScrollUp()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_renderer.ScrollUp(CurrentMessageUnlocked());
    m_resetScroll = false;
}

void CMessageStore::ScrollDown()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_renderer.ScrollDown(CurrentMessageUnlocked());
    m_resetScroll = false;
}

void CMessageStore::ClickLcd()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CStoredMessage* message = CurrentMessageUnlocked();
    if (message && message->IsVoice() && m_statusLine.empty()) {
        PlayUnlocked(*message);
    }
    // The first click on the summary reveals the current message.
    if (!m_statusLine.empty() && !m_statusOverride && message) {
        m_statusLine.clear();
    }
    if (m_readFailedNotice) {
        m_readFailedNotice = false;
        if (!message) {
            RefreshStatusUnlocked();
        }
    }
}

void CMessageStore::PlayCurrentVoice()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CStoredMessage* message = CurrentMessageUnlocked();
    if (message && message->IsVoice()) {
        PlayUnlocked(*message);
    }
}

void CMessageStore::StopPlaying()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_player.Stop();
}

void CMessageStore::DeleteCurrent()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_list.HasMessages()) {
        return;
    }
    // Before the first access the index is still -1; the message shown then is the first.
    if (m_currentIndex < 0) {
        m_currentIndex = 0;
    }
    DeleteCurrentUnlocked();
}

bool CMessageStore::DeleteIfCurrent(int index, const CStoredMessage& expected)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int current = m_currentIndex < 0 ? 0 : m_currentIndex;
    if (!m_list.HasMessages() || current != index || index >= m_list.Count()) {
        return false;
    }
    const CStoredMessage& message = *m_list.At(index);
    if (message.Ordinal() != expected.Ordinal() || message.Date() != expected.Date()
        || message.Time() != expected.Time() || message.VoiceFile() != expected.VoiceFile()
        || message.Text() != expected.Text()) {
        return false;
    }
    m_currentIndex = current;
    DeleteCurrentUnlocked();
    return true;
}

void CMessageStore::DeleteCurrentUnlocked()
{
    RemoveVoiceFileUnlocked(*m_list.At(m_currentIndex));
    m_list.RemoveAt(m_currentIndex);
    if (m_list.HasMessages()) {
        if (m_currentIndex > m_list.Count() - 1) {
            m_currentIndex = m_list.Count() - 1;
        }
    } else {
        m_currentIndex = -1;
        m_statusLine = StatusTextUnlocked(0);
    }
    SaveUnlocked();
}

void CMessageStore::DeleteAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& message : m_list.Messages()) {
        RemoveVoiceFileUnlocked(*message);
    }
    m_list.DeleteAll();
    m_currentIndex = -1;
    m_statusLine = StatusTextUnlocked(0);
    SaveUnlocked();
}

void CMessageStore::Redraw()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    RedrawUnlocked();
}

void CMessageStore::RedrawAfter(const std::function<void()>& change)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    change();
    RedrawUnlocked();
}

std::optional<CStoredMessage> CMessageStore::CurrentMessage()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CStoredMessage* message = CurrentMessageUnlocked();
    return message ? std::optional<CStoredMessage>(*message) : std::nullopt;
}

std::optional<CStoredMessage> CMessageStore::MessageAt(int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < 0 || index >= m_list.Count()) {
        return std::nullopt;
    }
    return *m_list.At(index);
}

int CMessageStore::Count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_list.Count();
}

int CMessageStore::UnreadCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_list.UnreadCount();
}

bool CMessageStore::HasMessages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_list.HasMessages();
}

std::string CMessageStore::DetailText() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return CMessageText::DetailText(IndexedMessageUnlocked());
}

std::string CMessageStore::DetailFrom() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return CMessageText::DetailFrom(IndexedMessageUnlocked());
}

std::string CMessageStore::DetailReceived() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return CMessageText::DetailReceived(IndexedMessageUnlocked(), m_timeSource);
}

void CMessageStore::SetSponsorID(const std::string& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_header.SponsorID = value;
}

void CMessageStore::SetSponsorDesc(const std::string& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_header.SponsorDesc = value;
}

void CMessageStore::SetSponsorURL(const std::string& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_header.SponsorURL = value;
}

void CMessageStore::SetVendorDesc(const std::string& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_header.VendorDesc = value;
}

void CMessageStore::SetVendorURL(const std::string& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_header.VendorURL = value;
}

SMessageFileHeader CMessageStore::HeaderValues() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_header;
}

int CMessageStore::CurrentIndex() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_currentIndex;
}

std::string CMessageStore::StatusLine() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_statusLine;
}

bool CMessageStore::StatusOverride() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_statusOverride;
}

bool CMessageStore::ResetScroll() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_resetScroll;
}

int32_t CMessageStore::MailStatus() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mailStatus;
}

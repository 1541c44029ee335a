#pragma once

// CServiceJob: one request job of the agent. The main window owns one object per request kind and
// starts it on its schedule; Run (on the job's worker thread) sends that kind's commands over the
// job's own CHttpClient, writes what arrived into the message store, the account info, the
// settings and the result fields, and the base class then hands over the completion message.
//
// The user-info object also carries the synchronous account operations (password check, ID check,
// signup, text message). They run on the caller's thread over a second client of their own, so
// they never wait behind a background run or share its client, and they neither set nor clear the
// busy flag: a caller must not ClearBusy after them, which would release a run still in flight.
//
// Messages, recordings and pictures go to the message store's folder.

#include "agent/lcd/TimeSource.h"
#include "agent/net/HttpClient.h"
#include "agent/service/AccountOperations.h"
#include "agent/service/ServiceCommands.h"
#include "agent/shell/BackgroundTask.h"

#include <atomic>
#include <mutex>
#include <string>

class CAccountInfo;
class CConnectionState;
class CMessageStore;
class CRemoteLogState;
class CSettingsStore;

inline constexpr int REQUEST_SPONSOR = 1;
inline constexpr int REQUEST_POLL = 2;
inline constexpr int REQUEST_USERINFO = 3;
inline constexpr int REQUEST_CLICKLOG = 4;
inline constexpr int REQUEST_VENDORLOGO = 5;

inline constexpr const char* kSponsorPictureFile = "sponsor.bmp";
inline constexpr const char* kVendorPictureFile = "vendor.bmp";

class CServiceJob : public CBackgroundTask, public IAccountOperations {
public:
    CServiceJob() = default;
    // Waits for a run in flight before the members it uses go away.
    ~CServiceJob() override;

    // Called before every start; the proxy settings are read now. Inputs given while a run is in
    // flight take effect from the next run.
    void SetInputs(CMessageStore* store, CSettingsStore* settings, CConnectionState* connection, CAccountInfo* account);
    void SetKind(int kind) { m_kind.store(kind); }
    int Kind() const { return m_kind.load(); }
    // Given once, to the poll job only. The clock decides whether the report's date allows it
    // (none: the machine's clock); it must outlive the job.
    void SetRemoteLogState(CRemoteLogState* state, const ITimeSource* clock = nullptr);

    // Results of the last run, read after its completion message.
    int NewMessages() const { return m_newMessages.load(); }
    int NewItem() const { return m_newItem.load(); }
    // Outcome text of the last SendTextMessage.
    std::string ResultText() const override;

    // Synchronous account operations; the outcome goes to the account info (ResultText for the
    // text message).
    void CheckPassword() override;
    void CheckIdAvailable(const std::string& vanduId) override;
    void Signup(const std::string& vanduId, const std::string& password, const std::string& email,
        const std::string& firstName, const std::string& lastName) override;
    void SendTextMessage(const std::string& recipientId, const std::string& text) override;

    // The clients, for shortening their time limits in tests.
    CHttpClient& JobClient() { return m_client; }
    CHttpClient& AccountClient() { return m_accountClient; }

protected:
    void Run() override;

private:
    // The inputs one run or one account operation works with, copied at its start.
    struct SInputs {
        CMessageStore* Store = nullptr;
        CSettingsStore* Settings = nullptr;
        CConnectionState* Connection = nullptr;
        CAccountInfo* Account = nullptr;
        CRemoteLogState* RemoteLog = nullptr;
        const ITimeSource* Clock = nullptr;
        std::string ProxyName;
        std::string ProxyPort;
    };
    SInputs Inputs() const;

    void PollMessages(const SInputs& in);
    bool DownloadMessage(const SInputs& in, int messageId);
    void FinishPollWithIds(const SInputs& in);
    void FetchSponsor(const SInputs& in);
    bool StoreSponsorPicture(const std::string& body, const std::string& imageUrl, const std::string& path);
    void FetchVendorLogo(const SInputs& in);
    void LogSponsorClick(const SInputs& in);
    void FetchUserInfo(const SInputs& in);

    // A proxy once given is kept: an empty ProxyName leaves the client as it was.
    void ApplyProxy(const SInputs& in);
    int Get(CHttpClient& client, const std::string& url, std::string& body);
    static std::string FolderFile(const SInputs& in, const std::string& name);

    CSystemTimeSource m_systemClock;
    mutable std::mutex m_inputMutex;
    SInputs m_inputs;
    std::atomic<int> m_kind {0};
    std::atomic<int> m_newItem {0};
    std::atomic<int> m_newMessages {0};
    mutable std::mutex m_resultMutex;
    std::string m_resultText;
    CHttpClient m_client;
    // One account operation at a time, whichever thread calls.
    std::mutex m_accountMutex;
    CHttpClient m_accountClient;
};

#pragma once

// CPop3CountJob: counts the messages waiting in the user's POP3 mailbox. Each run is a fresh
// connection and a full login (USER, PASS, STAT, QUIT) on the job's worker thread, in plain POP3,
// in TLS from the first byte, or upgraded by STLS; the count or a negative status is the job's
// result. The connected message is handed to the notifier as soon as the connection (and TLS,
// when chosen) is up, so the window can show "counting". The socket dialogue is in the mail
// module, loaded at the first run: the job itself needs no Qt Network.

#include "agent/mail/MailModule.h"
#include "agent/mail/MailModuleEntry.h"
#include "agent/mail/Pop3Protocol.h"
#include "agent/shell/BackgroundTask.h"

#include <atomic>
#include <mutex>
#include <string>

class CPop3CountJob : public CBackgroundTask {
public:
    static constexpr int kDefaultReceiveLimitMs = 30000;
    static constexpr int kDefaultDialogueLimitMs = 300000; // connect to QUIT

    static constexpr int kSecurityNone = CPop3Protocol::kSecurityNone;
    static constexpr int kSecurityTls = CPop3Protocol::kSecurityTls;
    static constexpr int kSecurityStartTls = CPop3Protocol::kSecurityStartTls;

    // Also: STAT refused, STLS refused, TLS or its certificate refused, a wait timed out, no mail module.
    static constexpr int kConnectFailed = CPop3Protocol::kConnectFailed;
    static constexpr int kUserRefused = CPop3Protocol::kUserRefused;
    static constexpr int kPasswordRefused = CPop3Protocol::kPasswordRefused;

    // moduleName: the mail module to load at the first run (tests name others).
    explicit CPop3CountJob(const char* moduleName = vandu::mail::kMailModule);
    ~CPop3CountJob() override;

    void SetConnectedMessage(int messageId) { m_connectedMessage.store(messageId); }
    // Called just before Start; a run in flight keeps the values it started with. security is a
    // kSecurity* value (any other ends the run with kConnectFailed, never a plain login); port
    // from 1 to 65535.
    void SetAccount(
        const std::string& server, const std::string& user, const std::string& password, int security, int port);
    // Longest wait for the connection, the TLS handshake and each reply; an expired wait ends the
    // run with -1.
    void SetReceiveLimit(int ms) { m_receiveLimitMs.store(ms); }
    // Longest whole run, however each reply keeps within the receive limit; when it has passed
    // the run ends with -1. Negative: none.
    void SetDialogueLimit(int ms) { m_dialogueLimitMs.store(ms); }

    // The result of the last run: 0 or more messages, or kConnectFailed, kUserRefused, kPasswordRefused.
    int Count() const { return Result(); }

protected:
    void Run() override;

private:
    struct Account {
        std::string Server, User, Password;
        int Security = kSecurityNone;
        int Port = CPop3Protocol::kDefaultPort;
    };
    Account CurrentAccount() const;
    static void OnConnected(void* context);

    mutable std::mutex m_mutex;
    Account m_account;
    CMailModule m_module; // used by the worker thread only, one run at a time
    std::atomic<int> m_connectedMessage {0};
    std::atomic<int> m_receiveLimitMs {kDefaultReceiveLimitMs};
    std::atomic<int> m_dialogueLimitMs {kDefaultDialogueLimitMs};
};

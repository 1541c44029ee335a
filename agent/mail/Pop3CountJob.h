#pragma once

// CPop3CountJob: counts the messages waiting in the user's POP3 mailbox. Each run is a fresh
// connection and a full login (USER, PASS, STAT, QUIT) on a blocking socket of the job's worker
// thread; the count or a negative status is the job's result. The connected message is handed to
// the notifier as soon as the server accepted the connection, so the window can show "counting".

#include "agent/shell/BackgroundTask.h"

#include <atomic>
#include <mutex>
#include <string>

class CPop3CountJob : public CBackgroundTask {
public:
    static constexpr int kDefaultPort = 110;
    static constexpr int kReplyLimit = 5120; // bytes taken by one receive
    static constexpr int kCommandPauseMs = 250; // between sending a command and reading its reply
    static constexpr int kDefaultReceiveLimitMs = 30000;
    static constexpr int kDefaultDialogueLimitMs = 300000; // connect to QUIT

    static constexpr int kConnectFailed = -1; // also: STAT refused, or a receive timed out
    static constexpr int kUserRefused = -3;
    static constexpr int kPasswordRefused = -4;

    CPop3CountJob() = default;
    ~CPop3CountJob() override;

    void SetConnectedMessage(int messageId) { m_connectedMessage.store(messageId); }
    // Called just before Start; a run in flight keeps the values it started with.
    void SetAccount(const std::string& server, const std::string& user, const std::string& password);
    void SetPort(int port) { m_port.store(port); }
    // Longest wait for the connection and for each reply; an expired wait ends the run with -1.
    void SetReceiveLimit(int ms) { m_receiveLimitMs.store(ms); }
    // Longest whole run, however each reply keeps within the receive limit; when it has passed
    // the run ends with -1. Negative: none.
    void SetDialogueLimit(int ms) { m_dialogueLimitMs.store(ms); }

    // The result of the last run: 0 or more messages, or kConnectFailed, kUserRefused, kPasswordRefused.
    int Count() const { return Result(); }

    // The count in a positive STAT reply: after the first four characters ("+OK "), the leading
    // digits of the text before the next space; 0 when there is no such space or no digit.
    static int ParseStatCount(const std::string& reply);

protected:
    void Run() override;

private:
    struct Account {
        std::string Server, User, Password;
    };
    Account CurrentAccount() const;

    mutable std::mutex m_mutex;
    Account m_account;
    std::atomic<int> m_connectedMessage {0};
    std::atomic<int> m_port {kDefaultPort};
    std::atomic<int> m_receiveLimitMs {kDefaultReceiveLimitMs};
    std::atomic<int> m_dialogueLimitMs {kDefaultDialogueLimitMs};
};

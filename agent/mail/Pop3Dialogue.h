#pragma once

// CPop3Dialogue: one mailbox count on a blocking socket of the calling thread. It connects (in TLS
// from the first byte, or upgraded by STLS after the greeting, when chosen), then sends USER, PASS,
// STAT and QUIT and reads each reply once after the protocol's pause. With TLS chosen nothing
// but STLS and QUIT goes out before the server's certificate is verified for the host name; a
// server that refuses STLS or whose certificate does not verify ends the count, never a plain
// login. Every wait is cut to the receive limit and to what is left of the dialogue's time.
// This is the mail module's side: the only code of the agent that uses Qt Network.

#include "agent/mail/MailModuleEntry.h"
#include "agent/net/Deadline.h"

#include <memory>
#include <string>

class QSslSocket;
class QTcpSocket;

class CPop3Dialogue {
public:
    explicit CPop3Dialogue(const vandu::mail::SCountRequest& request);
    ~CPop3Dialogue();
    CPop3Dialogue(const CPop3Dialogue&) = delete;
    CPop3Dialogue& operator=(const CPop3Dialogue&) = delete;

    // The count, or a CPop3Protocol error value.
    int Run();

private:
    enum class Receive { Data, Failed, TimedOut };

    bool Connect();
    bool UpgradeBySTLS(QSslSocket& socket);
    bool WaitForEncrypted(QSslSocket& socket);
    int Login();
    Receive ReceiveReply(std::string& reply);
    Receive ReceiveLine(std::string& line);
    Receive Exchange(const std::string& command, std::string& reply);
    void Send(const std::string& command);
    // The wait to use now: the receive limit, cut to the dialogue's (and the line's) time left.
    int Wait(const CDeadline& also = CDeadline()) const;

    std::string m_server;
    std::string m_user;
    std::string m_password;
    int m_port;
    int m_security;
    int m_receiveLimitMs;
    CDeadline m_deadline;
    void (*m_connected)(void*);
    void* m_context;
    std::unique_ptr<QTcpSocket> m_socket;
};

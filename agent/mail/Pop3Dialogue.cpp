#include "agent/mail/Pop3Dialogue.h"

#include "agent/mail/Pop3Protocol.h"

#include <QByteArray>
#include <QSslError>
#include <QSslSocket>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

#include <algorithm>
#include <chrono>
#include <thread>

CPop3Dialogue::CPop3Dialogue(const vandu::mail::SCountRequest& request)
    : m_server(request.Server)
    , m_user(request.User)
    , m_password(request.Password)
    , m_port(request.Port)
    , m_security(request.Security)
    , m_receiveLimitMs(request.ReceiveLimitMs)
    , m_deadline(CDeadline::After(request.DialogueLimitMs))
    , m_connected(request.Connected)
    , m_context(request.Context)
{
}

CPop3Dialogue::~CPop3Dialogue() = default;

int CPop3Dialogue::Run()
{
    if (!CPop3Protocol::IsValidEndpoint(m_security, m_port))
        return CPop3Protocol::kConnectFailed;
    int count = CPop3Protocol::kConnectFailed;
    if (Connect()) {
        if (m_connected != nullptr)
            m_connected(m_context);
        count = Login();
    }
    if (m_socket)
        m_socket->abort();
    return count;
}

bool CPop3Dialogue::Connect()
{
    const QString host = QString::fromStdString(m_server);
    const auto port = static_cast<quint16>(m_port);
    if (m_security == CPop3Protocol::kSecurityNone) {
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->connectToHost(host, port);
        return m_socket->waitForConnected(Wait());
    }
    if (!QSslSocket::supportsSsl()) {
        qWarning("Vandu: no TLS support for the mail counter (%s)", qPrintable(QSslSocket::activeBackend()));
        return false;
    }
    auto owned = std::make_unique<QSslSocket>();
    QSslSocket& socket = *owned;
    m_socket = std::move(owned);
    // The system's certificate store (the default configuration) and the name the user typed:
    // it goes out for server name indication and the certificate must be issued for it.
    socket.setPeerVerifyMode(QSslSocket::VerifyPeer);
    socket.setPeerVerifyName(host);
    if (m_security == CPop3Protocol::kSecurityTls) {
        socket.connectToHostEncrypted(host, port);
        return socket.waitForConnected(Wait()) && WaitForEncrypted(socket);
    }
    socket.connectToHost(host, port);
    return socket.waitForConnected(Wait()) && UpgradeBySTLS(socket);
}

// The count only says the connection failed; why TLS failed (a certificate for another name, an
// authority the system does not know) goes to the log for whoever sets the account up.
bool CPop3Dialogue::WaitForEncrypted(QSslSocket& socket)
{
    if (socket.waitForEncrypted(Wait()))
        return true;
    QStringList reasons;
    for (const QSslError& error : socket.sslHandshakeErrors())
        reasons << error.errorString();
    if (reasons.isEmpty())
        reasons << socket.errorString();
    qWarning(
        "Vandu: no TLS with the mail server %s: %s", m_server.c_str(), qPrintable(reasons.join(QStringLiteral("; "))));
    return false;
}

bool CPop3Dialogue::UpgradeBySTLS(QSslSocket& socket)
{
    std::string line;
    if (ReceiveLine(line) != Receive::Data) // the greeting, which says nothing that matters here
        return false;
    Send("STLS\r\n");
    const Receive got = ReceiveLine(line);
    if (got == Receive::Data && CPop3Protocol::AcceptsStartTls(line, socket.bytesAvailable() > 0)) {
        socket.startClientEncryption();
        return WaitForEncrypted(socket);
    }
    // No TLS, so no login: only the polite end of the session goes out in the clear.
    if (got == Receive::Data && !m_deadline.Expired())
        Exchange("QUIT\r\n", line);
    return false;
}

// USER, PASS and STAT, then QUIT whatever they answered. A reply that never comes, or the end of
// the dialogue's time, ends the dialogue at once with kConnectFailed; the QUIT reply is ignored, so
// its wait keeps the count.
int CPop3Dialogue::Login()
{
    std::string reply;
    // The greeting has been read before the upgrade when STLS was used; TLS from the first byte
    // and plain connections read it now, once, without looking at it.
    if (m_security != CPop3Protocol::kSecurityStartTls && ReceiveReply(reply) == Receive::TimedOut)
        return CPop3Protocol::kConnectFailed;
    int count = CPop3Protocol::kConnectFailed;
    if (Exchange("USER " + m_user + "\r\n", reply) == Receive::TimedOut)
        return CPop3Protocol::kConnectFailed;
    if (!CPop3Protocol::IsPositive(reply)) {
        count = CPop3Protocol::kUserRefused;
    } else {
        if (Exchange("PASS " + m_password + "\r\n", reply) == Receive::TimedOut)
            return CPop3Protocol::kConnectFailed;
        if (!CPop3Protocol::IsPositive(reply)) {
            count = CPop3Protocol::kPasswordRefused;
        } else {
            if (Exchange("STAT\r\n", reply) == Receive::TimedOut)
                return CPop3Protocol::kConnectFailed;
            count = CPop3Protocol::IsPositive(reply) ? CPop3Protocol::ParseStatCount(reply)
                                                     : CPop3Protocol::kConnectFailed;
        }
    }
    if (!m_deadline.Expired())
        Exchange("QUIT\r\n", reply);
    return count;
}

// One receive of at most kReplyLimit bytes; what it brings is the whole reply, however the server
// split it. A failed receive leaves the reply empty.
CPop3Dialogue::Receive CPop3Dialogue::ReceiveReply(std::string& reply)
{
    reply.clear();
    if (m_socket->bytesAvailable() == 0) {
        if (m_deadline.Expired())
            return Receive::TimedOut;
        if (!m_socket->waitForReadyRead(Wait()))
            return m_socket->error() == QAbstractSocket::SocketTimeoutError ? Receive::TimedOut : Receive::Failed;
    }
    const QByteArray bytes = m_socket->read(CPop3Protocol::kReplyLimit);
    reply.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return Receive::Data;
}

// A whole line (up to kReplyLimit bytes) within one receive limit, for the steps that decide
// whether TLS starts: those are judged on the complete line, and what follows it stays unread.
CPop3Dialogue::Receive CPop3Dialogue::ReceiveLine(std::string& line)
{
    line.clear();
    const CDeadline lineTime = CDeadline::After(m_receiveLimitMs);
    while (!m_socket->canReadLine()) {
        if (m_socket->bytesAvailable() >= CPop3Protocol::kReplyLimit)
            return Receive::Failed;
        if (m_deadline.Expired() || lineTime.Expired())
            return Receive::TimedOut;
        if (!m_socket->waitForReadyRead(Wait(lineTime)))
            return m_socket->error() == QAbstractSocket::SocketTimeoutError ? Receive::TimedOut : Receive::Failed;
    }
    const QByteArray bytes = m_socket->readLine(CPop3Protocol::kReplyLimit + 1);
    line.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return Receive::Data;
}

// Sends a command, waits the protocol's pause and receives its reply once.
CPop3Dialogue::Receive CPop3Dialogue::Exchange(const std::string& command, std::string& reply)
{
    Send(command);
    std::this_thread::sleep_for(std::chrono::milliseconds(m_deadline.Clamp(CPop3Protocol::kCommandPauseMs)));
    return ReceiveReply(reply);
}

void CPop3Dialogue::Send(const std::string& command)
{
    m_socket->write(command.data(), static_cast<qint64>(command.size()));
    m_socket->waitForBytesWritten(Wait());
}

int CPop3Dialogue::Wait(const CDeadline& also) const
{
    return also.Clamp(m_deadline.Clamp(m_receiveLimitMs));
}

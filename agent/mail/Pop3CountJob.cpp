#include "agent/mail/Pop3CountJob.h"

#include "agent/net/Deadline.h"

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

#include <chrono>
#include <climits>
#include <thread>

namespace {

enum class Receive { Data, Failed, TimedOut };

// The waits of one dialogue: each at most the receive limit, and none past the dialogue's deadline,
// so that a server answering each step just within the limit cannot hold the job for ever. Every
// wait of the dialogue (connect, encryption, reply) takes its time from here.
struct SDialogueTime {
    int receiveLimitMs;
    CDeadline deadline;
    int Wait() const { return deadline.Clamp(receiveLimitMs); }
};

// One receive of at most kReplyLimit bytes; what it brings is the whole reply, however the server
// split it. A failed receive leaves the reply empty.
Receive ReceiveReply(QAbstractSocket& socket, const SDialogueTime& time, std::string& reply)
{
    reply.clear();
    if (socket.bytesAvailable() == 0) {
        if (time.deadline.Expired())
            return Receive::TimedOut;
        if (!socket.waitForReadyRead(time.Wait()))
            return socket.error() == QAbstractSocket::SocketTimeoutError ? Receive::TimedOut : Receive::Failed;
    }
    const QByteArray bytes = socket.read(CPop3CountJob::kReplyLimit);
    reply.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return Receive::Data;
}

// Sends a command, waits the protocol's pause and receives its reply once.
Receive Exchange(QAbstractSocket& socket, const SDialogueTime& time, const std::string& command, std::string& reply)
{
    socket.write(command.data(), static_cast<qint64>(command.size()));
    socket.waitForBytesWritten(time.Wait());
    std::this_thread::sleep_for(std::chrono::milliseconds(time.deadline.Clamp(CPop3CountJob::kCommandPauseMs)));
    return ReceiveReply(socket, time, reply);
}

// The marker is looked for anywhere in the reply, as servers have always been judged.
bool IsPositive(const std::string& reply)
{
    return reply.find("+OK") != std::string::npos;
}

// USER, PASS and STAT, then QUIT whatever they answered. A reply that never comes, or the end of
// the dialogue's time, ends the dialogue at once with kConnectFailed; the QUIT reply is ignored, so
// its wait keeps the count.
int CountDialogue(
    QAbstractSocket& socket, const SDialogueTime& time, const std::string& user, const std::string& password)
{
    std::string reply;
    int count = CPop3CountJob::kConnectFailed;
    if (Exchange(socket, time, "USER " + user + "\r\n", reply) == Receive::TimedOut)
        return CPop3CountJob::kConnectFailed;
    if (!IsPositive(reply)) {
        count = CPop3CountJob::kUserRefused;
    } else {
        if (Exchange(socket, time, "PASS " + password + "\r\n", reply) == Receive::TimedOut)
            return CPop3CountJob::kConnectFailed;
        if (!IsPositive(reply)) {
            count = CPop3CountJob::kPasswordRefused;
        } else {
            if (Exchange(socket, time, "STAT\r\n", reply) == Receive::TimedOut)
                return CPop3CountJob::kConnectFailed;
            count = IsPositive(reply) ? CPop3CountJob::ParseStatCount(reply) : CPop3CountJob::kConnectFailed;
        }
    }
    if (!time.deadline.Expired())
        Exchange(socket, time, "QUIT\r\n", reply);
    return count;
}

} // namespace

CPop3CountJob::~CPop3CountJob()
{
    // The run uses this object's members; it must end before they go.
    Wait();
}

void CPop3CountJob::SetAccount(const std::string& server, const std::string& user, const std::string& password)
{
    std::lock_guard lock(m_mutex);
    m_account = Account {server, user, password};
}

CPop3CountJob::Account CPop3CountJob::CurrentAccount() const
{
    std::lock_guard lock(m_mutex);
    return m_account;
}

int CPop3CountJob::ParseStatCount(const std::string& reply)
{
    if (reply.size() <= 4)
        return 0;
    const std::string rest = reply.substr(4);
    const std::size_t space = rest.find(' ');
    if (space == std::string::npos)
        return 0;
    long long count = 0;
    for (std::size_t i = 0; i < space && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        count = count * 10 + (rest[i] - '0');
        if (count > INT_MAX)
            return INT_MAX; // a count beyond any mailbox; keep it positive rather than wrap
    }
    return static_cast<int>(count);
}

void CPop3CountJob::Run()
{
    const Account account = CurrentAccount();
    const SDialogueTime time {m_receiveLimitMs.load(), CDeadline::After(m_dialogueLimitMs.load())};
    QTcpSocket socket;
    socket.connectToHost(QString::fromStdString(account.Server), static_cast<quint16>(m_port.load()));
    if (!socket.waitForConnected(time.Wait())) {
        SetResult(kConnectFailed);
        socket.abort();
        return;
    }
    const int connectedMessage = m_connectedMessage.load();
    if (ICompletionNotifier* target = NotifyTarget(); target && connectedMessage != 0)
        target->Notify(connectedMessage);

    std::string greeting;
    if (ReceiveReply(socket, time, greeting) == Receive::TimedOut) {
        SetResult(kConnectFailed);
        socket.abort();
        return;
    }
    SetResult(CountDialogue(socket, time, account.User, account.Password));
    socket.abort();
}

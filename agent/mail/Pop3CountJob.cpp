#include "agent/mail/Pop3CountJob.h"

#include "agent/net/Deadline.h"

CPop3CountJob::CPop3CountJob(const char* moduleName)
    : m_module(moduleName)
{
}

CPop3CountJob::~CPop3CountJob()
{
    // The run uses this object's members; it must end before they go.
    Wait();
}

void CPop3CountJob::SetAccount(
    const std::string& server, const std::string& user, const std::string& password, int security, int port)
{
    std::lock_guard lock(m_mutex);
    m_account = Account {server, user, password, security, port};
}

CPop3CountJob::Account CPop3CountJob::CurrentAccount() const
{
    std::lock_guard lock(m_mutex);
    return m_account;
}

void CPop3CountJob::OnConnected(void* context)
{
    auto* job = static_cast<CPop3CountJob*>(context);
    const int connectedMessage = job->m_connectedMessage.load();
    if (ICompletionNotifier* target = job->NotifyTarget(); target && connectedMessage != 0)
        target->Notify(connectedMessage);
}

void CPop3CountJob::Run()
{
    // The dialogue's time runs from here, loading the module included.
    const CDeadline deadline = CDeadline::After(m_dialogueLimitMs.load());
    const Account account = CurrentAccount();
    const vandu::mail::CountFunction count = m_module.CountFunction();
    if (count == nullptr) {
        SetResult(kConnectFailed);
        return;
    }
    const vandu::mail::SCountRequest request {account.Server.c_str(), account.User.c_str(), account.Password.c_str(),
        account.Port, account.Security, m_receiveLimitMs.load(), deadline.RemainingMs(), &CPop3CountJob::OnConnected,
        this};
    SetResult(count(&request));
}

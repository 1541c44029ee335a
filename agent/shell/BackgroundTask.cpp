#include "agent/shell/BackgroundTask.h"

CBackgroundTask::~CBackgroundTask()
{
    Wait();
}

void CBackgroundTask::SetNotify(ICompletionNotifier* target, int messageId)
{
    m_notify = target;
    m_messageId = messageId;
}

bool CBackgroundTask::Start()
{
    if (m_busy.load() || m_running.load()) {
        return false;
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_busy.store(1);
    m_running.store(true);
    m_thread = std::thread([this] {
        m_result.store(0);
        Run();
        ICompletionNotifier* target = m_notify;
        const int messageId = m_messageId;
        m_running.store(false);
        if (target) {
            target->Notify(messageId);
        }
    });
    return true;
}

void CBackgroundTask::ClearBusy()
{
    m_busy.store(0);
}

void CBackgroundTask::Wait()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

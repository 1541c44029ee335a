#pragma once

// CBackgroundTask: the base of every request job. Each Start runs Run on a fresh worker thread
// and, when Run returns, hands the completion message to the notifier (the main window posts it
// to itself as an event of that number; tests record it). A busy job is not started again: the
// busy flag is set by Start and cleared only by the completion handler (ClearBusy), and Start
// also refuses while the previous run's thread is still alive, whatever the flag says.

#include <atomic>
#include <thread>

class ICompletionNotifier {
public:
    virtual ~ICompletionNotifier() = default;
    // Called on the worker thread, after the job's results are written.
    virtual void Notify(int messageId) = 0;
};

class CBackgroundTask {
public:
    CBackgroundTask() = default;
    // Waits for a run still in flight: its thread uses this object. (The agent never destroys a
    // job at exit while it runs; it ends the process once its state is saved.)
    virtual ~CBackgroundTask();
    CBackgroundTask(const CBackgroundTask&) = delete;
    CBackgroundTask& operator=(const CBackgroundTask&) = delete;

    void SetNotify(ICompletionNotifier* target, int messageId);
    // Starts a run; false when the job is busy or its previous thread has not ended yet.
    bool Start();
    void ClearBusy();
    bool IsBusy() const { return m_busy.load(); }
    // True from Start until Run has returned and the completion was handed over.
    bool IsRunning() const { return m_running.load(); }
    int Result() const { return m_result.load(); }
    // Blocks until the current run (if any) has ended; for tests and orderly shutdown.
    void Wait();

protected:
    // Executed on the worker thread.
    virtual void Run() = 0;
    void SetResult(int result) { m_result.store(result); }
    ICompletionNotifier* NotifyTarget() const { return m_notify; }

private:
    ICompletionNotifier* m_notify = nullptr;
    int m_messageId = 0;
    std::atomic<int> m_busy {0};
    std::atomic<bool> m_running {false};
    std::atomic<int> m_result {0};
    std::thread m_thread;
};

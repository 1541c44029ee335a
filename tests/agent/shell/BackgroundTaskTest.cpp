#include "agent/shell/BackgroundTask.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class RecordingNotifier : public ICompletionNotifier {
public:
    void Notify(int messageId) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(messageId);
        m_changed.notify_all();
    }
    bool WaitFor(size_t count, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_messages.size() >= count; });
    }
    std::vector<int> Messages()
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_messages;
};

// A job whose run blocks until released, so tests can hold it in flight.
class GatedJob : public CBackgroundTask {
public:
    ~GatedJob() override
    {
        Release();
        Wait();
    }
    void Release()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_gate.notify_all();
    }
    int runs = 0;
    std::thread::id runThread;

protected:
    void Run() override
    {
        std::unique_lock lock(m_mutex);
        ++runs;
        runThread = std::this_thread::get_id();
        m_gate.wait(lock, [&] { return m_open; });
        m_open = false;
        SetResult(40 + runs);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_gate;
    bool m_open = false;
};

TEST(BackgroundTaskTest, RunsOnAWorkerAndHandsOverItsCompletion)
{
    RecordingNotifier notifier;
    GatedJob job;
    job.SetNotify(&notifier, 1225);
    ASSERT_TRUE(job.Start());
    EXPECT_TRUE(job.IsBusy());
    job.Release();
    ASSERT_TRUE(notifier.WaitFor(1, std::chrono::seconds(5)));
    EXPECT_EQ(notifier.Messages(), std::vector<int> {1225});
    EXPECT_EQ(job.Result(), 41);
    EXPECT_NE(job.runThread, std::this_thread::get_id());
    // Busy until the completion handler clears it.
    EXPECT_TRUE(job.IsBusy());
    EXPECT_FALSE(job.Start());
    job.ClearBusy();
    ASSERT_TRUE(job.Start());
    job.Release();
    ASSERT_TRUE(notifier.WaitFor(2, std::chrono::seconds(5)));
    EXPECT_EQ(job.Result(), 42);
}

TEST(BackgroundTaskTest, NeverTwoRunsAtOnceEvenWhenTheFlagIsCleared)
{
    RecordingNotifier notifier;
    GatedJob job;
    job.SetNotify(&notifier, 1224);
    ASSERT_TRUE(job.Start());
    // A synchronous caller clears the flag while the run is still in flight.
    job.ClearBusy();
    EXPECT_TRUE(job.IsRunning());
    EXPECT_FALSE(job.Start());
    job.Release();
    ASSERT_TRUE(notifier.WaitFor(1, std::chrono::seconds(5)));
    job.Wait();
    EXPECT_EQ(job.runs, 1);
    job.ClearBusy();
    EXPECT_TRUE(job.Start());
    job.Release();
    ASSERT_TRUE(notifier.WaitFor(2, std::chrono::seconds(5)));
    EXPECT_EQ(job.runs, 2);
}

TEST(BackgroundTaskTest, ResultStartsAtZeroOnEveryRun)
{
    class ZeroCheck : public CBackgroundTask {
    public:
        int seenAtStart = -1;

    protected:
        void Run() override
        {
            seenAtStart = Result();
            SetResult(7);
        }
    };
    RecordingNotifier notifier;
    ZeroCheck job;
    job.SetNotify(&notifier, 1229);
    for (size_t run = 1; run <= 3; ++run) {
        ASSERT_TRUE(job.Start());
        ASSERT_TRUE(notifier.WaitFor(run, std::chrono::seconds(5)));
        job.Wait();
        EXPECT_EQ(job.seenAtStart, 0);
        EXPECT_EQ(job.Result(), 7);
        job.ClearBusy();
    }
}

} // namespace

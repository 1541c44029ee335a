#pragma once

// Runs one blocking account operation while the "Connecting" box is shown. The caller waits for
// the outcome before going on, as if the call ran on its own thread; the real runner
// (CConnectingDialog) runs it on a worker while the windows go on painting. Qt-free.

#include <functional>

class IConnectingRunner {
public:
    virtual ~IConnectingRunner() = default;

    // Shows the box, runs work to its end, hides the box. work must not touch a widget.
    virtual void Run(const std::function<void()>& work) = 0;
};

// Runs the work on the caller's thread, for tests that need no box.
class CImmediateRunner : public IConnectingRunner {
public:
    void Run(const std::function<void()>& work) override
    {
        ++m_runs;
        work();
    }
    int Runs() const { return m_runs; }

private:
    int m_runs = 0;
};

#pragma once

// Starting other programs (the installed agent, the desktop-database refresh, the desktop's trust
// marker) behind an interface, so that tests see what would be started without starting it
// (CRecordedProcessStarter). Programs and arguments are local 8-bit bytes and never pass a shell. Qt-free.

#include <string>
#include <vector>

class IProcessStarter {
public:
    virtual ~IProcessStarter() = default;

    // Starts program detached in workingDir; the process id, or -1 when it could not start.
    virtual long long StartDetached(
        const std::string& program, const std::vector<std::string>& arguments, const std::string& workingDir)
        = 0;
    // Runs program to its end, for at most timeoutMs; its exit code, or -1 when it could not start,
    // crashed or ran out of time (then it is killed).
    virtual int Run(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs) = 0;
};

// Records what would be started; answers with the queued exit codes (default 0).
class CRecordedProcessStarter : public IProcessStarter {
public:
    struct SStarted {
        std::string Program;
        std::vector<std::string> Arguments;
        std::string WorkingDir; // empty for Run
        bool Detached = false;
    };

    long long StartDetached(
        const std::string& program, const std::vector<std::string>& arguments, const std::string& workingDir) override
    {
        m_started.push_back({program, arguments, workingDir, true});
        return 4242;
    }
    int Run(const std::string& program, const std::vector<std::string>& arguments, int) override
    {
        m_started.push_back({program, arguments, {}, false});
        return 0;
    }

    const std::vector<SStarted>& Started() const { return m_started; }
    // The detached starts alone.
    std::vector<SStarted> Detached() const
    {
        std::vector<SStarted> detached;
        for (const SStarted& started : m_started) {
            if (started.Detached) {
                detached.push_back(started);
            }
        }
        return detached;
    }

private:
    std::vector<SStarted> m_started;
};

#pragma once

// What the browser launch needs from the desktop: the command registered for http links, the
// desktop's own opener, and starting a program. Starting is the edge of the machine, so tests
// record it (CRecordedProgramLauncher); the real launcher is CQtProgramLauncher. Qt-free.

#include <string>
#include <vector>

class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;

    // The Exec command of the desktop's default handler of http links, its field codes (%u, %U,
    // ...) dropped; empty when there is none.
    virtual std::string RegisteredHttpCommand() = 0;
    // Hands the URL to the desktop's opener; false when the opener could not be started.
    virtual bool OpenWithDesktop(const std::string& url) = 0;
    // Starts the program with exactly these arguments, detached and without a shell, so that no
    // argument is ever read as a command; false when it could not be started.
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

class CRecordedProgramLauncher : public IProgramLauncher {
public:
    struct SStarted {
        std::string Program;
        std::vector<std::string> Arguments;
    };

    std::string RegisteredHttpCommand() override { return m_registered; }
    bool OpenWithDesktop(const std::string& url) override
    {
        m_desktopOpened.push_back(url);
        return m_desktopResult;
    }
    bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override
    {
        m_started.push_back({program, arguments});
        return m_startResult;
    }

    void SetRegistered(const std::string& command) { m_registered = command; }
    void SetDesktopResult(bool ok) { m_desktopResult = ok; }
    void SetStartResult(bool ok) { m_startResult = ok; }
    const std::vector<std::string>& DesktopOpened() const { return m_desktopOpened; }
    const std::vector<SStarted>& Started() const { return m_started; }

private:
    std::string m_registered;
    bool m_desktopResult = true;
    bool m_startResult = true;
    std::vector<std::string> m_desktopOpened;
    std::vector<SStarted> m_started;
};

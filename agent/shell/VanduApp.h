#pragma once

// The agent's application object: start-up in its fixed order, single instance through the
// per-user channel, the main window, and exit.

#include <QApplication>

#include <memory>

#include "common/QtUserPrompts.h"

class CAgentListener;
class CVanduMainWnd;
class CTerminationWatcher;

class CVanduApp : public QApplication {
    Q_OBJECT
public:
    CVanduApp(int& argc, char** argv);
    ~CVanduApp() override;

    // True when the agent is to run its event loop; false when the process is to end at once.
    bool InitInstance();
    // Undoes the channel registration; returns the event loop's exit code.
    int ExitInstance(int exitCode);

    static bool IsFirstInstance();
    // Asks the running agent to show itself; false when none answered.
    static bool FindRunningInstance();
    bool RegisterMainWindowClass();
    // The folder that holds the running program, without a trailing "/".
    static QString GetModuleDirectory();

    CVanduMainWnd* MainWindow() const { return m_mainWnd.get(); }

private:
    bool m_classRegistered = false;
    std::unique_ptr<CAgentListener> m_listener;
    std::unique_ptr<CTerminationWatcher> m_termination;
    CQtUserPrompts m_prompts;
    std::unique_ptr<CVanduMainWnd> m_mainWnd;
};

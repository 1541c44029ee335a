#pragma once

// The agent's application object: start-up in its fixed order, single instance through the
// per-user channel, the real seams of the main window (settings file, clock, sound, message
// boxes, dialogs, browser), the main window, and exit.

#include "agent/audio/SoundPlayer.h"
#include "agent/lcd/TimeSource.h"
#include "agent/settings/BrowserLauncher.h"
#include "agent/settings/QtProgramLauncher.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/DialogRunner.h"
#include "common/QtFileDialogs.h"
#include "common/QtSettingsBackend.h"
#include "common/QtUserPrompts.h"

#include <QApplication>

#include <memory>

class CAgentListener;
class CTerminationWatcher;
class CVanduMainWnd;

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
    // The program's folder, or the user's data folder when a system-wide install cannot hold the
    // user's messages.
    static QString ChooseWorkDirectory(const QString& moduleDirectory);

    CVanduMainWnd* MainWindow() const { return m_mainWnd.get(); }

private:
    bool m_classRegistered = false;
    std::unique_ptr<CAgentListener> m_listener;
    std::unique_ptr<CTerminationWatcher> m_termination;
    CQtSettingsBackend m_backend;
    CSystemTimeSource m_clock;
    CQtUserPrompts m_prompts;
    CQtFileDialogs m_files;
    CModalDialogRunner m_dialogs;
    std::unique_ptr<CSoundPlayer> m_player;
    // The launcher's own view of the settings: the store keeps no state, so it reads what the
    // window writes.
    CSettingsStore m_launcherSettings;
    CQtProgramLauncher m_launcher;
    CBrowserLauncher m_browser;
    std::unique_ptr<CVanduMainWnd> m_mainWnd;
};

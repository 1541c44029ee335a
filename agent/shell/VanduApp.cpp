#include "agent/shell/VanduApp.h"

#include "agent/shell/AgentTray.h"
#include "agent/shell/ModuleDirectory.h"
#include "agent/shell/StartLock.h"
#include "agent/shell/TerminationWatcher.h"
#include "agent/shell/VanduMainWnd.h"
#include "common/AgentChannel.h"
#include "common/Names.h"

#include <QDir>
#include <QFile>
#include <QSessionManager>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

namespace {

quint16 WakeupPort()
{
    // Tests and several agents on one machine listen elsewhere.
    bool ok = false;
    const uint port = qEnvironmentVariable("VANDU_WAKEUP_PORT").toUInt(&ok);
    return ok && port > 0 && port < 65536 ? static_cast<quint16>(port) : quint16(2026);
}

// The user's cache folder for the agent (~/.cache/Vandu/Vandu); nothing in it is needed.
std::string LcdFaceMemory()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return folder.isEmpty() ? std::string() : QFile::encodeName(folder + QStringLiteral("/lcd-face")).toStdString();
}

} // namespace

CVanduApp::CVanduApp(int& argc, char** argv)
    : QApplication(argc, argv)
    , m_launcherSettings(m_backend, [] { return std::pair<int, int>(0, 0); })
    , m_browser(m_launcherSettings, m_launcher, m_prompts)
{
    setApplicationName(vandu::names::kApplication);
    setOrganizationName(vandu::names::kOrganisation);
    setApplicationVersion(QStringLiteral("4.2.0.0"));
    // Closing a dialog while the window is hidden must not end the agent.
    setQuitOnLastWindowClosed(false);
}

CVanduApp::~CVanduApp() = default;

bool CVanduApp::InitInstance()
{
    // The socket library needs no start-up here: BSD sockets are always there.
    const CStartLock startLock(QFile::encodeName(vandu::channel::SocketPath()).toStdString() + ".lock", 3000);
    if (!IsFirstInstance()) {
        FindRunningInstance();
        return false;
    }
    // Watch for SIGTERM before anyone can find this agent: a signal that arrives during start-up
    // waits in the watcher's pipe and is handled by the event loop once the window exists.
    m_termination = std::make_unique<CTerminationWatcher>();
    if (!RegisterMainWindowClass()) {
        return false;
    }
    m_player = std::make_unique<CSoundPlayer>();
    const QString moduleDirectory = GetModuleDirectory();
    const SMainWndSeams seams {m_backend, m_clock, *m_player, m_prompts, m_browser, m_files, m_dialogs,
        ChooseWorkDirectory(moduleDirectory), moduleDirectory, WakeupPort(), [this] { return m_browser.BrowserPath(); },
        LcdFaceMemory()};
    m_mainWnd = std::make_unique<CVanduMainWnd>(seams);
    m_prompts.SetParent(m_mainWnd.get());
    m_files.SetParent(m_mainWnd.get());
    connect(m_listener.get(), &CAgentListener::ShowRequested, m_mainWnd.get(), &CVanduMainWnd::ShowAndActivate);
    connect(m_termination.get(), &CTerminationWatcher::TerminationRequested, m_mainWnd.get(),
        &CVanduMainWnd::SaveStateAndQuit);
    connect(this, &QGuiApplication::commitDataRequest, m_mainWnd.get(),
        [this](QSessionManager&) { m_mainWnd->SaveStateAndQuit(); });
    m_mainWnd->Start();

    // Without a notification area a hidden agent could not be reached at all: show it anyway.
    if (m_mainWnd->Settings().GetHidden() && CAgentTray::IsAvailable()) {
        m_mainWnd->hide();
    } else {
        m_mainWnd->show();
        m_mainWnd->update();
    }
    m_listener->MarkReady();
    return true;
}

int CVanduApp::ExitInstance(int exitCode)
{
    if (m_classRegistered && m_listener) {
        m_listener->Close();
        m_classRegistered = false;
    }
    // The state is saved; a job still talking to a silent server is not waited for, and nothing
    // it uses is destroyed under it: the process simply ends.
    if (m_mainWnd && m_mainWnd->Requests().AnyJobRunning()) {
        // What a poll still running added since the window's last save must not be lost.
        m_mainWnd->Store().Save();
        std::fflush(nullptr);
        ::_exit(exitCode);
    }
    m_mainWnd.reset();
    return exitCode;
}

bool CVanduApp::IsFirstInstance()
{
    return !vandu::channel::IsAgentRunning();
}

bool CVanduApp::FindRunningInstance()
{
    return vandu::channel::AskRunningAgentToShow();
}

bool CVanduApp::RegisterMainWindowClass()
{
    m_listener = std::make_unique<CAgentListener>();
    m_classRegistered = m_listener->Listen();
    return m_classRegistered;
}

QString CVanduApp::ChooseWorkDirectory(const QString& moduleDirectory)
{
    if (::access(QFile::encodeName(moduleDirectory).constData(), W_OK) == 0) {
        return moduleDirectory;
    }
    const QString data
        = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Vandu");
    QDir().mkpath(data);
    return data;
}

QString CVanduApp::GetModuleDirectory()
{
    const QByteArray program = QFile::encodeName(applicationFilePath());
    return QFile::decodeName(QByteArray::fromStdString(ModuleDirectoryOf(program.toStdString())));
}

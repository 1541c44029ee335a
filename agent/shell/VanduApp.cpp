#include "agent/shell/VanduApp.h"

#include "agent/shell/ModuleDirectory.h"
#include "agent/shell/TerminationWatcher.h"
#include "agent/shell/VanduMainWnd.h"
#include "common/AgentChannel.h"
#include "common/Names.h"

#include <QFile>
#include <QLockFile>
#include <QSessionManager>

#include <cstdio>
#include <unistd.h>

CVanduApp::CVanduApp(int& argc, char** argv)
    : QApplication(argc, argv)
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
    // Two agents started at the same moment take turns at looking for a running one and
    // listening, so that neither removes the socket the other has just made.
    QLockFile startLock(vandu::channel::SocketPath() + QStringLiteral(".lock"));
    startLock.tryLock(3000);
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
    m_mainWnd = std::make_unique<CVanduMainWnd>(m_prompts);
    connect(m_listener.get(), &CAgentListener::ShowRequested, m_mainWnd.get(), &CVanduMainWnd::ShowAndActivate);
    connect(m_termination.get(), &CTerminationWatcher::TerminationRequested, m_mainWnd.get(),
        &CVanduMainWnd::SaveStateAndQuit);
    connect(this, &QGuiApplication::commitDataRequest, m_mainWnd.get(),
        [this](QSessionManager&) { m_mainWnd->SaveStateAndQuit(); });

    if (m_mainWnd->Settings().GetHidden()) {
        m_mainWnd->hide();
    } else {
        m_mainWnd->show();
        m_mainWnd->update();
    }
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

QString CVanduApp::GetModuleDirectory()
{
    const QByteArray program = QFile::encodeName(applicationFilePath());
    return QFile::decodeName(QByteArray::fromStdString(ModuleDirectoryOf(program.toStdString())));
}

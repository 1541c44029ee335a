#pragma once

// CMyPropertySheet: the installer's wizard. Destination, terms, connection type and finish, in this
// order; entering the finish page installs, and Finish or Cancel there start the installed agent.
// Cancel on an earlier page installs nothing.

#include "installer/InstallContext.h"
#include "installer/Installer.h"

#include <QWizard>

class CDestinationPage;
class CTermsPage;
class CMyPropertyPage4;
class CFinishPage;

class CMyPropertySheet : public QWizard {
    Q_OBJECT
public:
    explicit CMyPropertySheet(SInstallContext& context, QWidget* parent = nullptr);
    ~CMyPropertySheet() override;

    const std::string& InstallDir() const { return m_installDir; }
    void SetInstallDir(const std::string& dir) { m_installDir = dir; }
    void SetConnectionType(int type) { m_connectionType = type; }

    // Performs the installation once (the finish page calls it on entry); a failed copy makes the
    // wizard end without starting the agent.
    void PerformInstallation();
    bool Installed() const { return m_installed; }

    void done(int result) override;

private:
    SInstallContext& m_context;
    CInstaller m_installer;
    std::string m_installDir;
    int m_connectionType = -1;
    bool m_installed = false;
    bool m_quitRequested = false;
    bool m_agentStarted = false;
    CDestinationPage* m_destination;
    CTermsPage* m_terms;
    CMyPropertyPage4* m_connection;
    CFinishPage* m_finish;
};

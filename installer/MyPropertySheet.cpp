#include "installer/MyPropertySheet.h"

#include "common/StringTable.h"
#include "installer/DestinationPage.h"
#include "installer/FinishPage.h"
#include "installer/InstallPage.h"
#include "installer/MyPropertyPage4.h"
#include "installer/TermsPage.h"

#include <QIcon>
#include <QTimer>

CMyPropertySheet::CMyPropertySheet(SInstallContext& context, QWidget* parent)
    : QWizard(parent)
    , m_context(context)
    , m_installer(context.Settings, context.Prompts, context.Launcher)
{
    // The sheet's own caption; in wizard mode the window shows the caption of its pages.
    setWindowTitle(QString::fromStdString(vandu::strings::LoadResourceString(vandu::strings::IDS_INSTALLER_CAPTION)));
    setWindowIcon(QIcon(QStringLiteral(":/installer/vandu.png")));
    setWizardStyle(QWizard::ClassicStyle);
    // The finish page offers Finish (and Cancel) only: the installation has run.
    setOption(QWizard::NoBackButtonOnLastPage);
    m_installDir
        = vandu::install::ProposeInstallDir(context.Settings.GetInstallDir(), context.Environment.DefaultInstallDir);

    m_destination = new CDestinationPage(*this, context.Dialogs);
    m_terms = new CTermsPage;
    m_connection = new CMyPropertyPage4(*this, context.Backend, context.Prompts);
    m_finish = new CFinishPage(*this);
    addPage(m_destination);
    addPage(m_terms);
    addPage(m_connection);
    addPage(m_finish);
    setWindowTitle(QString::fromLatin1(CInstallPage::kCaption));
    // As small as the pages allow: they are laid out around the side picture.
    resize(560, 330);
}

CMyPropertySheet::~CMyPropertySheet() = default;

void CMyPropertySheet::PerformInstallation()
{
    if (m_installed) {
        return;
    }
    m_installed = true;
    vandu::install::SInstallRequest request;
    request.InstallDir = m_installDir;
    request.SourceDir = m_context.Environment.SourceDir;
    request.ConnectionType = m_connectionType;
    request.Folders = m_context.Environment.Folders;
    request.CurrentDesktop = m_context.Environment.CurrentDesktop;
    const CInstaller::SOutcome outcome = m_installer.Install(request, m_context.Environment.IconBytes);
    if (outcome.QuitRequested) {
        m_quitRequested = true;
        // Ends the wizard once the event loop runs again, like a posted quit request.
        QTimer::singleShot(0, this, [this] { QWizard::done(QDialog::Rejected); });
    }
}

void CMyPropertySheet::done(int result)
{
    if (m_installed && !m_quitRequested && !m_agentStarted && currentPage() == m_finish) {
        m_agentStarted = true;
        m_installer.StartAgent(m_installDir);
    }
    QWizard::done(result);
}

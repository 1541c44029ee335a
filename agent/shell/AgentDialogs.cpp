#include "agent/shell/AgentDialogs.h"

#include "agent/lcd/SponsorInfo.h"
#include "agent/lcd/SponsorInfoDialog.h"
#include "agent/settings/VanduSettingsPropertySheet.h"
#include "agent/shell/AboutDialog.h"
#include "agent/shell/DialogRunner.h"
#include "agent/shell/MessageDetailDialog.h"
#include "agent/shell/SendMessageDialog.h"
#include "agent/wizard/VanduSignupWizard.h"

CAgentDialogs::CAgentDialogs(QWidget& owner, IDialogRunner& runner, std::function<SAgentServices()> services,
    std::function<std::string()> webBrowser)
    : m_owner(owner)
    , m_runner(runner)
    , m_services(std::move(services))
    , m_webBrowser(std::move(webBrowser))
{
}

// The sheet has no owner window; the others belong to the main window. Every dialog keeps its
// services for its whole run, so they live on this stack frame.
bool CAgentDialogs::OpenSettings(bool identificationOnly)
{
    SAgentServices services = m_services();
    CVanduSettingsPropertySheet sheet(services, m_webBrowser, identificationOnly);
    return m_runner.Exec(sheet) == QDialog::Accepted;
}

void CAgentDialogs::RunSignupWizard()
{
    SAgentServices services = m_services();
    CVanduSignupWizard wizard(services, &m_owner);
    m_runner.Exec(wizard);
}

void CAgentDialogs::ShowSponsorInfo(const CSponsorInfo& sponsor)
{
    SAgentServices services = m_services();
    CSponsorInfoDialog dialog(sponsor.Picture(), sponsor.MoreInformationAddress(), services.Urls, &m_owner);
    m_runner.Exec(dialog);
}

void CAgentDialogs::ShowAboutBox()
{
    CAboutDialog dialog(m_services(), &m_owner);
    m_runner.Exec(dialog);
}

void CAgentDialogs::ShowMessageDetail()
{
    CMessageDetailDialog dialog(m_services(), &m_owner);
    m_runner.Exec(dialog);
}

void CAgentDialogs::SendMessage(const CStoredMessage* replyTo)
{
    SAgentServices services = m_services();
    CSendMessageDialog dialog(services, &m_owner);
    if (replyTo) {
        dialog.PresetReply(*replyTo);
    }
    m_runner.Exec(dialog);
}

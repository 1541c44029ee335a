#include "agent/wizard/VanduWizardPage5.h"

#include "agent/service/ServiceConfig.h"
#include "agent/settings/SettingsStore.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentCommands.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/MessageStore.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace commands = vandu::commands;

CVanduWizardPage5::CVanduWizardPage5(SAgentServices& services, QWidget* parent)
    : CVanduWizardPage(services, parent)
{
    auto* group = new QGroupBox(QStringLiteral("Sign-up confirmation"), this);
    m_text = StaticText(QString(), group);
    m_text->setObjectName(QStringLiteral("confirmation"));
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_text);
    groupLayout->addStretch(1);
    Body()->addWidget(group, 1);
}

QList<QWizard::WizardButton> CVanduWizardPage5::ButtonLayout() const
{
    return {QWizard::Stretch, QWizard::FinishButton};
}

void CVanduWizardPage5::initializePage()
{
    QString text = FromBytes(Services().Account.GetSignupConfirmation());
    // The service's lines may end in CR LF; a label would show the CR.
    text.remove(QLatin1Char('\r'));
    m_text->setText(text.trimmed());
}

// The agent goes over to the new subscriber: no fixed status text, the new ID's messages, a full
// cycle of requests at once (user information first), then the page that explains call forwarding.
bool CVanduWizardPage5::validatePage()
{
    SAgentServices& services = Services();
    services.Store.SetStatusOverride(false, std::string());
    services.Store.Reload();
    services.Window.RestartCycle();
    services.Window.Repaint();
    services.Urls.OpenUrl(CallForwardUrl(services.Settings.GetVanduID(), services.Settings.GetPassword()));
    return true;
}

std::string CVanduWizardPage5::CallForwardUrl(const std::string& vanduId, const std::string& password)
{
    commands::SPageContext context;
    context.vanduId = vanduId;
    context.password = password;
    context.cgiBase = ServiceCgiBase();
    context.aspBase = ServiceAspBase();
    context.homePage = ServiceHomePage();
    return commands::PageUrl(commands::Page::CallForward, context);
}

#include "agent/wizard/VanduWizardPage4.h"

#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/store/AccountInfo.h"
#include "agent/wizard/SignupTexts.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

CVanduWizardPage4::CVanduWizardPage4(SAgentServices& services, QWidget* parent)
    : CVanduWizardPage(services, parent)
{
    auto* group = new QGroupBox(QStringLiteral("How to use Vandu?"), this);
    m_text = StaticText(QString(), group);
    m_text->setObjectName(QStringLiteral("howToUse"));
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_text);
    groupLayout->addStretch(1);
    Body()->addWidget(group, 1);
}

QList<QWizard::WizardButton> CVanduWizardPage4::ButtonLayout() const
{
    return {QWizard::Stretch, QWizard::NextButton};
}

// The toll-free number is the service's own, not the last one a user-info answer named: no answer
// has come for the new subscriber yet.
void CVanduWizardPage4::initializePage()
{
    const std::string text
        = vandu::wizard::HowToUseText(Services().Settings.GetVanduID(), CAccountInfo::kDefaultTollFreeNumber);
    m_text->setText(FromBytes(text));
}

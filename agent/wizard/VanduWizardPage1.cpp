#include "agent/wizard/VanduWizardPage1.h"

#include <QButtonGroup>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CVanduWizardPage1::CVanduWizardPage1(SAgentServices& services, QWidget* parent)
    : CVanduWizardPage(services, parent)
    , m_choice(new QButtonGroup(this))
{
    auto* welcome = StaticText(QStringLiteral("Welcome to Vandu"), this);
    QFont bold = welcome->font();
    bold.setBold(true);
    welcome->setFont(bold);

    auto* newId = new QRadioButton(QStringLiteral("New Vandu ID - I would like to choose a new Vandu ID."), this);
    auto* existingId = new QRadioButton(QStringLiteral("Existing Vandu ID - I already have my own Vandu ID."), this);
    newId->setObjectName(QStringLiteral("newId"));
    existingId->setObjectName(QStringLiteral("existingId"));
    // One group across the two frames, so the arrow keys move between them and one is always chosen.
    m_choice->addButton(newId, kNewId);
    m_choice->addButton(existingId, kExistingId);
    newId->setChecked(true);

    auto* newUsers = new QGroupBox(QStringLiteral("For new users:"), this);
    auto* newUsersLayout = new QVBoxLayout(newUsers);
    newUsersLayout->addWidget(newId);

    auto* registered = new QGroupBox(this);
    auto* registeredLayout = new QVBoxLayout(registered);
    registeredLayout->addWidget(StaticText(
        QStringLiteral("If you are already a registered Vandu user and have your own Vandu ID:"), registered));
    registeredLayout->addWidget(existingId);

    QVBoxLayout* body = Body();
    body->addWidget(welcome);
    body->addWidget(StaticText(QStringLiteral("Please make sure you are connected to the Internet.\nThe sign-up "
                                              "wizard will guide you through the sign-up process."),
        this));
    body->addSpacing(8);
    body->addWidget(newUsers);
    body->addWidget(registered);
    body->addStretch(1);
    setFocusProxy(newId);
}

int CVanduWizardPage1::GetChoice() const
{
    return m_choice->checkedId();
}

// A user who has an ID goes on in the Identification settings page, which the caller opens.
bool CVanduWizardPage1::validatePage()
{
    if (GetChoice() == kExistingId) {
        emit ExistingIdChosen();
        return false;
    }
    return true;
}

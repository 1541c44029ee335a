#include "agent/wizard/VanduWizardPage3.h"

#include "agent/service/AccountOperations.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/ConnectingRunner.h"
#include "agent/store/AccountInfo.h"
#include "agent/wizard/SignupTexts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CVanduWizardPage3::CVanduWizardPage3(SAgentServices& services, QWidget* parent)
    : CVanduWizardPage(services, parent)
    , m_password(Field("password"))
    , m_email(Field("email"))
    , m_firstName(Field("firstName"))
    , m_lastName(Field("lastName"))
{
    // Four digits are easy to mistype unseen, and the service checks them: the box shows them.
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(BuddyLabel(QStringLiteral("Password (4 numbers):"), m_password, this));
    passwordRow->addWidget(m_password);
    auto* hint = new QLabel(QStringLiteral("(for example 4096)"), this);
    hint->setObjectName(QStringLiteral("passwordHint"));
    m_password->setAccessibleDescription(hint->text());
    passwordRow->addWidget(hint);
    passwordRow->addStretch(1);

    auto* protection = new QGroupBox(QStringLiteral("Password Protection"), this);
    auto* protectionLayout = new QVBoxLayout(protection);
    protectionLayout->addWidget(
        StaticText(QStringLiteral("Choose a password to protect your personal Vandu account:"), protection));
    protectionLayout->addLayout(passwordRow);

    auto* person = new QFormLayout;
    person->addRow(BuddyLabel(QStringLiteral("E-Mail:"), m_email, this), m_email);
    person->addRow(BuddyLabel(QStringLiteral("First Name:"), m_firstName, this), m_firstName);
    person->addRow(BuddyLabel(QStringLiteral("Last Name:"), m_lastName, this), m_lastName);

    QVBoxLayout* body = Body();
    body->addWidget(protection);
    body->addSpacing(8);
    body->addLayout(person);
    body->addStretch(1);
    m_password->setFixedWidth(m_password->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 8);
    setTabOrder(m_password, m_email);
    setTabOrder(m_email, m_firstName);
    setTabOrder(m_firstName, m_lastName);
    setFocusProxy(m_password);
}

QLineEdit* CVanduWizardPage3::Field(const char* name)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

// The values go as typed: the service judges them and says what it refused.
bool CVanduWizardPage3::validatePage()
{
    if (!IsInternetReachable()) {
        Warn(vandu::wizard::kSignupNotConnectedText);
        return false;
    }
    const std::string password = ToBytes(m_password->text());
    if (!SignUp(password)) {
        return false;
    }
    CSettingsStore& settings = Services().Settings;
    settings.SetPassword(password);
    settings.SetPasswordSaved(true);
    return true;
}

// The user-info job's signup runs on its own client and leaves the job's busy flag alone, so
// there is no ClearBusy to do afterwards.
bool CVanduWizardPage3::SignUp(const std::string& password)
{
    SAgentServices& services = Services();
    CAccountInfo& account = services.Account;
    // An unanswered signup leaves the flag as it was: a success of an earlier run of the wizard
    // must not count for this one.
    account.SetSignupOk(0);
    IAccountOperations& accounts = services.Accounts;
    const std::string id = services.Settings.GetVanduID();
    const std::string email = ToBytes(m_email->text());
    const std::string firstName = ToBytes(m_firstName->text());
    const std::string lastName = ToBytes(m_lastName->text());
    services.Connecting.Run([&accounts, id, password, email, firstName, lastName] {
        accounts.Signup(id, password, email, firstName, lastName);
    });
    if (account.GetSignupOk() == 0) {
        Warn(account.GetSignupMessage());
        return false;
    }
    return true;
}

#include "agent/wizard/VanduWizardPage2.h"

#include "agent/service/AccountOperations.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/ConnectingRunner.h"
#include "agent/store/AccountInfo.h"
#include "agent/wizard/SignupTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace wizard = vandu::wizard;

CVanduWizardPage2::CVanduWizardPage2(SAgentServices& services, QWidget* parent)
    : CVanduWizardPage(services, parent)
    , m_areaCode(DigitBox("areaCode", "Area code", wizard::kAreaCodeLength))
    , m_exchange(DigitBox("exchange", "Exchange", wizard::kExchangeLength))
    , m_number(DigitBox("number", "Number", wizard::kNumberLength))
{
    auto* prompt = new QLabel(QStringLiteral("Enter your phone number (this is your Vandu ID)"), this);
    prompt->setBuddy(m_areaCode);
    m_areaCode->setAccessibleDescription(prompt->text());

    auto* phone = new QHBoxLayout;
    phone->addWidget(new QLabel(QStringLiteral("("), this));
    phone->addWidget(m_areaCode);
    phone->addWidget(new QLabel(QStringLiteral(")"), this));
    phone->addWidget(m_exchange);
    phone->addWidget(new QLabel(QStringLiteral("-"), this));
    phone->addWidget(m_number);
    phone->addStretch(1);

    QVBoxLayout* body = Body();
    body->addWidget(StaticText(QStringLiteral("In order for \"Vandu Ringfold\" to catch calls when you are connected "
                                              "to the Internet and your phone line is tied up, your ID needs be the "
                                              "same as your phone number."),
        this));
    body->addSpacing(12);
    body->addWidget(prompt);
    body->addLayout(phone);
    body->addWidget(new QLabel(QStringLiteral("10-digit phone number"), this));
    body->addSpacing(12);
    body->addWidget(
        StaticText(QStringLiteral("Information collected in the wizard is kept strictly confidential."), this));
    body->addStretch(1);
    setTabOrder(m_areaCode, m_exchange);
    setTabOrder(m_exchange, m_number);
    setFocusProxy(m_areaCode);
}

QLineEdit* CVanduWizardPage2::DigitBox(const char* name, const char* accessibleName, int maxLength)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromLatin1(accessibleName));
    box->setMaxLength(maxLength);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    // Wide enough for its digits and no wider, so the three read as one phone number.
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(maxLength + 2, QLatin1Char('0'))) + 8);
    return box;
}

std::string CVanduWizardPage2::TypedId() const
{
    return ToBytes(m_areaCode->text() + m_exchange->text() + m_number->text());
}

bool CVanduWizardPage2::validatePage()
{
    const std::string id = TypedId();
    if (id.size() != wizard::kIdLength) {
        Warn(wizard::kIdNotValidText);
        m_areaCode->setFocus();
        return false;
    }
    if (!IsInternetReachable()) {
        Warn(wizard::kIdNotConnectedText);
        return false;
    }
    if (!IsAvailable(id)) {
        return false;
    }
    Services().Settings.SetVanduID(id);
    return true;
}

// The user-info job's ID check runs on its own client and leaves the job's busy flag alone, so
// there is no ClearBusy to do afterwards.
bool CVanduWizardPage2::IsAvailable(const std::string& vanduId)
{
    SAgentServices& services = Services();
    CAccountInfo& account = services.Account;
    // An unanswered check leaves the flag as it was: one left over from an ID checked earlier
    // (Back, or an earlier run of the wizard) must not let this one through.
    account.SetIdAvailable(0);
    IAccountOperations& accounts = services.Accounts;
    services.Connecting.Run([&accounts, vanduId] { accounts.CheckIdAvailable(vanduId); });
    if (account.GetIdAvailable() == 0) {
        Warn(account.GetIdMessage());
        return false;
    }
    return true;
}

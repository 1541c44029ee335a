#include "agent/settings/VanduSettingsPageIdentification.h"

#include "agent/service/AccountOperations.h"
#include "agent/service/ServiceConfig.h"
#include "agent/settings/SettingsStore.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/shell/ConnectingRunner.h"
#include "agent/shell/ConnectionState.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/MessageStore.h"
#include "common/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CVanduSettingsPageIdentification::CVanduSettingsPageIdentification(SAgentServices& services, QWidget* parent)
    : CVanduSettingsPage(QStringLiteral("Identification"), parent)
    , m_services(services)
    , m_id(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_savePassword(new QCheckBox(QStringLiteral("&Save password"), this))
    , m_signup(new QPushButton(QStringLiteral("Get a Vandu ID. Free Sign-up."), this))
    , m_editProfile(new QPushButton(QStringLiteral("&Edit profile"), this))
{
    m_id->setObjectName(QStringLiteral("vanduId"));
    m_id->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_id));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_savePassword->setObjectName(QStringLiteral("savePassword"));
    m_signup->setObjectName(QStringLiteral("signup"));
    m_editProfile->setObjectName(QStringLiteral("editProfile"));
    for (QPushButton* button : {m_signup, m_editProfile}) {
        button->setAutoDefault(false);
    }

    auto* signupFrame = new QGroupBox(this);
    auto* signupLayout = new QVBoxLayout(signupFrame);
    signupLayout->addWidget(new QLabel(QStringLiteral("If you don't have a Vandu ID, click on the button below:")));
    signupLayout->addWidget(m_signup, 0, Qt::AlignHCenter);

    auto* fields = new QGridLayout;
    fields->addWidget(BuddyLabel(QStringLiteral("Vandu &ID:"), m_id, this), 0, 0);
    fields->addWidget(m_id, 0, 1);
    fields->addWidget(BuddyLabel(QStringLiteral("&Password:"), m_password, this), 1, 0);
    fields->addWidget(m_password, 1, 1);
    fields->addWidget(m_savePassword, 2, 1);
    fields->addWidget(m_editProfile, 0, 2);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(signupFrame);
    layout->addLayout(fields);
    layout->addStretch(1);
    setTabOrder(m_signup, m_id);
    setTabOrder(m_id, m_password);
    setTabOrder(m_password, m_savePassword);
    setTabOrder(m_savePassword, m_editProfile);

    // Where the user starts typing when the sheet opens.
    setFocusProxy(m_id);
    connect(m_signup, &QPushButton::clicked, this, &CVanduSettingsPageIdentification::OnSignup);
    connect(m_editProfile, &QPushButton::clicked, this, &CVanduSettingsPageIdentification::OnEditProfile);
    ShowStored();
}

void CVanduSettingsPageIdentification::ShowStored()
{
    const CSettingsStore& settings = m_services.Settings;
    const bool saved = settings.IsPasswordSaved();
    m_id->setText(FromBytes(settings.GetVanduID()));
    m_password->setText(saved ? FromBytes(settings.GetPassword()) : QString());
    m_savePassword->setChecked(saved);
}

std::string CVanduSettingsPageIdentification::TypedId() const
{
    return CSettingsStore::Trim(ToBytes(m_id->text()));
}

std::string CVanduSettingsPageIdentification::TypedPassword() const
{
    return CSettingsStore::Trim(ToBytes(m_password->text()));
}

void CVanduSettingsPageIdentification::OnOK()
{
    const std::string id = TypedId();
    const std::string password = TypedPassword();
    CSettingsStore& settings = m_services.Settings;
    m_services.Window.ClearFirstShowPending();
    // Nothing changed: not even the "Save password" box is stored, and nothing is sent.
    if (id == settings.GetVanduID() && password == settings.GetPassword()) {
        return;
    }
    settings.SetVanduID(id);
    settings.SetPassword(password);
    settings.SetPasswordSaved(m_savePassword->isChecked());
    if (!m_services.Reachability.IsInternetReachable()) {
        m_services.Prompts.Warn(kNotConnectedText);
        return;
    }
    CheckWithService();
}

// The user-info job's password check runs on its own client and leaves the job's busy flag alone,
// so there is no ClearBusy to do afterwards.
void CVanduSettingsPageIdentification::CheckWithService()
{
    IAccountOperations& accounts = m_services.Accounts;
    m_services.Connecting.Run([&accounts] { accounts.CheckPassword(); });
    CMessageStore& store = m_services.Store;
    if (m_services.Account.GetLoginOk() == 0) {
        m_services.Prompts.Warn(kInvalidText);
        store.SetStatusOverride(true, kInvalidStatusText);
        return;
    }
    store.SetStatusOverride(false, std::string());
    store.Reload();
    m_services.Window.RestartCycle();
    m_services.Window.Repaint();
}

// The wizard may store a new ID and password while the sheet is open. The page takes them over,
// or its OK would write the values it was built with over the new account.
void CVanduSettingsPageIdentification::OnSignup()
{
    const CSettingsStore& settings = m_services.Settings;
    const std::string idBefore = settings.GetVanduID();
    const std::string passwordBefore = settings.GetPassword();
    m_services.Window.RunSignupWizard();
    if (settings.GetVanduID() != idBefore || settings.GetPassword() != passwordBefore) {
        ShowStored();
    }
}

void CVanduSettingsPageIdentification::OnEditProfile()
{
    m_services.Urls.OpenUrl(EditProfileUrl(ToBytes(m_id->text()), ToBytes(m_password->text())));
}

std::string CVanduSettingsPageIdentification::EditProfileUrl(const std::string& vanduId, const std::string& password)
{
    return ServiceCgiBase() + "MessageManager.dll?OLLogin&VanduID=" + vanduId + "&Password=" + password
        + "&Destination=OLSettings";
}

#include "agent/settings/VanduSettingsPageEmailCounter.h"

#include "agent/lcd/MessageText.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/store/MessageStore.h"
#include "common/UserPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr const char* kExplanation
    = "The email counter gives you the possibility to know at any time how many mails are waiting in your email box. "
      "Enabling this feature will make Vandu count your emails. The emails will not be removed from your email box.";

// Indexed by the PopSecurity value.
constexpr const char* kSecurityNames[] = {"None", "SSL/TLS", "STARTTLS"};

QValidator* DigitsOnly(QObject* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

} // namespace

CVanduSettingsPageEmailCounter::CVanduSettingsPageEmailCounter(SAgentServices& services, QWidget* parent)
    : CVanduSettingsPage(QStringLiteral("Email Counter"), parent)
    , m_services(services)
    , m_enabled(new QCheckBox(QStringLiteral("&Enable checking"), this))
    , m_server(new QLineEdit(this))
    , m_user(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_security(new QComboBox(this))
    , m_port(new QLineEdit(this))
    , m_period(new QLineEdit(this))
{
    m_enabled->setObjectName(QStringLiteral("popEnabled"));
    m_server->setObjectName(QStringLiteral("popServer"));
    m_user->setObjectName(QStringLiteral("popUser"));
    m_password->setObjectName(QStringLiteral("popPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_security->setObjectName(QStringLiteral("popSecurity"));
    for (const char* name : kSecurityNames) {
        m_security->addItem(QString::fromLatin1(name));
    }
    m_port->setObjectName(QStringLiteral("popPort"));
    m_port->setValidator(DigitsOnly(m_port));
    m_period->setObjectName(QStringLiteral("popPeriod"));
    m_period->setValidator(DigitsOnly(m_period));

    const CSettingsStore& settings = services.Settings;
    m_enabled->setChecked(settings.GetPopEnabled());
    m_server->setText(FromBytes(settings.GetPopServer()));
    m_user->setText(FromBytes(settings.GetPopUser()));
    m_password->setText(FromBytes(settings.GetPopPassword()));
    m_security->setCurrentIndex(settings.GetPopSecurityChoice());
    m_port->setText(FromBytes(settings.GetPopPort()));
    m_period->setText(QString::number(settings.GetPopPeriod()));

    auto* frame = new QGroupBox(this);
    auto* explanation = new QLabel(QString::fromLatin1(kExplanation), frame);
    explanation->setWordWrap(true);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(explanation);

    auto* fields = new QGridLayout;
    fields->addWidget(m_enabled, 0, 0, 1, 4);
    fields->addWidget(BuddyLabel(QStringLiteral("POP3 &Server:"), m_server, this), 1, 0);
    fields->addWidget(m_server, 1, 1);
    fields->addWidget(BuddyLabel(QStringLiteral("Se&curity:"), m_security, this), 1, 2);
    fields->addWidget(m_security, 1, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("&User:"), m_user, this), 2, 0);
    fields->addWidget(m_user, 2, 1);
    fields->addWidget(BuddyLabel(QStringLiteral("P&ort:"), m_port, this), 2, 2);
    fields->addWidget(m_port, 2, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("&Password:"), m_password, this), 3, 0);
    fields->addWidget(m_password, 3, 1);
    fields->setColumnStretch(1, 1);

    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(BuddyLabel(QStringLiteral("e&very"), m_period, this));
    periodRow->addWidget(m_period);
    periodRow->addWidget(new QLabel(QStringLiteral("minute(s)"), this));
    periodRow->addStretch(1);
    m_period->setAccessibleName(QStringLiteral("every minute(s)"));
    m_period->setMaximumWidth(m_period->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(fields);
    layout->addLayout(periodRow);
    layout->addStretch(1);
    setTabOrder(m_enabled, m_server);
    setTabOrder(m_server, m_user);
    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_security);
    setTabOrder(m_security, m_port);
    setTabOrder(m_port, m_period);

    connect(m_security, &QComboBox::currentIndexChanged, this, &CVanduSettingsPageEmailCounter::ShowDefaultPort);
    ShowDefaultPort();
}

void CVanduSettingsPageEmailCounter::ShowDefaultPort()
{
    m_port->setPlaceholderText(QString::number(CSettingsStore::DefaultPopPort(m_security->currentIndex())));
}

std::optional<int32_t> CVanduSettingsPageEmailCounter::ParsePeriod(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
        // Larger periods cannot be stored; refusing them beats storing another number.
        if (value > std::numeric_limits<int32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<int32_t>(value);
}

bool CVanduSettingsPageEmailCounter::IsPortAccepted(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        return true;
    }
    const std::optional<int32_t> port = ParsePeriod(text);
    return port && *port >= 1 && *port <= 65535;
}

bool CVanduSettingsPageEmailCounter::Refuse(QLineEdit* field, const char* text)
{
    m_services.Prompts.Warn(text);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return false;
}

bool CVanduSettingsPageEmailCounter::OnKillActive()
{
    if (!ParsePeriod(m_period->text())) {
        return Refuse(m_period, kPeriodRefusedText);
    }
    if (!IsPortAccepted(m_port->text())) {
        return Refuse(m_port, kPortRefusedText);
    }
    return true;
}

void CVanduSettingsPageEmailCounter::OnOK()
{
    CSettingsStore& settings = m_services.Settings;
    settings.SetPopEnabled(m_enabled->isChecked() ? 1 : 0);
    settings.SetPopPassword(ToBytes(m_password->text()));
    // A zero period is stored as the store's default.
    settings.SetPopPeriod(ParsePeriod(m_period->text()).value_or(0));
    settings.SetPopServer(ToBytes(m_server->text()));
    settings.SetPopUser(ToBytes(m_user->text()));
    settings.SetPopSecurity(m_security->currentIndex());
    settings.SetPopPort(ToBytes(m_port->text().trimmed()));
    // The scheduler reads PopPeriod every minute, so the new period needs no further step.
    if (settings.GetPopEnabled()) {
        m_services.Window.StartMailCount();
        return;
    }
    m_services.Store.SetMailStatus(CMessageText::kMailOff);
    m_services.Store.RefreshStatus();
}

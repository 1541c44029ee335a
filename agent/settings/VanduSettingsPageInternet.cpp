#include "agent/settings/VanduSettingsPageInternet.h"

#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "common/FileDialogs.h"
#include "common/UserPrompts.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <iterator>

namespace {

// The connection types by their InternetConnectionType value, which is also the order of the
// buttons for the keyboard; the modem is drawn first because most users had one.
struct SConnectionType {
    const char* Text;
    int DrawnRow;
};
constexpr SConnectionType kConnectionTypes[] = {
    {"&LAN, DSL, Direct connection", 1},
    {"&STANDARD modem (Windows dial-up)", 0},
    {"&AOL", 2},
};

} // namespace

CVanduSettingsPageInternet::CVanduSettingsPageInternet(
    SAgentServices& services, std::function<std::string()> webBrowser, QWidget* parent)
    : CVanduSettingsPage(QStringLiteral("Internet"), parent)
    , m_services(services)
    , m_proxyAddress(new QLineEdit(this))
    , m_proxyPort(new QLineEdit(this))
    , m_browserPath(new QLineEdit(this))
    , m_browse(new QPushButton(QStringLiteral("&Browse..."), this))
    , m_connectionTypes(new QButtonGroup(this))
{
    m_proxyAddress->setObjectName(QStringLiteral("proxyAddress"));
    m_proxyPort->setObjectName(QStringLiteral("proxyPort"));
    m_proxyPort->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_proxyPort));
    m_browserPath->setObjectName(QStringLiteral("browserPath"));
    m_browse->setObjectName(QStringLiteral("browse"));
    m_browse->setAutoDefault(false);

    const CSettingsStore& settings = services.Settings;
    m_proxyAddress->setText(FromBytes(settings.GetProxyName()));
    m_proxyPort->setText(FromBytes(settings.GetProxyPort()));
    m_browserPath->setText(FromPath(webBrowser ? webBrowser() : settings.GetWebBrowser()));

    auto* proxyFrame = new QGroupBox(QStringLiteral("HTTP Proxy Server (if you're behind a firewall)"), this);
    auto* proxyLayout = new QHBoxLayout(proxyFrame);
    proxyLayout->addWidget(BuddyLabel(QStringLiteral("&Address:"), m_proxyAddress, proxyFrame));
    proxyLayout->addWidget(m_proxyAddress, 1);
    proxyLayout->addWidget(BuddyLabel(QStringLiteral("&Port:"), m_proxyPort, proxyFrame));
    proxyLayout->addWidget(m_proxyPort);
    m_proxyPort->setMaximumWidth(m_proxyPort->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);

    auto* browserFrame = new QGroupBox(QStringLiteral("W&eb Browser"), this);
    auto* browserLayout = new QHBoxLayout(browserFrame);
    browserLayout->addWidget(m_browserPath, 1);
    browserLayout->addWidget(m_browse);
    m_browserPath->setAccessibleName(QStringLiteral("Web Browser"));

    auto* typeFrame = new QGroupBox(QStringLiteral("Connection type"), this);
    auto* typeLayout = new QGridLayout(typeFrame);
    QWidget* previous = m_browse;
    for (int index = 0; index < static_cast<int>(std::size(kConnectionTypes)); ++index) {
        auto* radio = new QRadioButton(QString::fromLatin1(kConnectionTypes[index].Text), typeFrame);
        radio->setObjectName(QStringLiteral("connectionType%1").arg(index));
        m_connectionTypes->addButton(radio, index);
        typeLayout->addWidget(radio, kConnectionTypes[index].DrawnRow, 0);
        setTabOrder(previous, radio);
        previous = radio;
    }
    if (QAbstractButton* radio = m_connectionTypes->button(settings.GetInternetConnectionType())) {
        radio->setChecked(true);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(proxyFrame);
    layout->addWidget(browserFrame);
    layout->addWidget(typeFrame);
    layout->addStretch(1);

    connect(m_browse, &QPushButton::clicked, this, &CVanduSettingsPageInternet::OnBrowse);
}

void CVanduSettingsPageInternet::OnBrowse()
{
    const std::string chosen = m_services.Files.GetOpenFileName("Open", ToPath(m_browserPath->text()), kProgramFilter);
    if (chosen.empty()) {
        return;
    }
    const QFileInfo file(FromPath(chosen));
    if (!file.isFile() || !file.isExecutable()) {
        m_services.Prompts.Warn(kNotAProgramText + chosen);
        return;
    }
    m_browserPath->setText(file.filePath());
}

void CVanduSettingsPageInternet::OnOK()
{
    CSettingsStore& settings = m_services.Settings;
    settings.SetProxyName(ToBytes(m_proxyAddress->text()));
    settings.SetProxyPort(ToBytes(m_proxyPort->text()));
    settings.SetWebBrowser(ToPath(m_browserPath->text()));
    settings.SetInternetConnectionType(m_connectionTypes->checkedId());
}

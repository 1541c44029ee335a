#include "uninstaller/UninstallDialog.h"

#include "installer/Installer.h"
#include "uninstaller/SettingsTree.h"
#include "uninstaller/UninstallPlan.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

CUninstallDialog::CUninstallDialog(SInstallContext& context, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(QIcon(QStringLiteral(":/installer/vandu.png")));
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Icon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/installer/128-32.png")));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(QString::fromLatin1(kText), this);
    text->setObjectName(QStringLiteral("Text"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(m_cancel);
    layout->addWidget(icon, 0, 0);
    layout->addWidget(text, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setHorizontalSpacing(16);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(ok, &QPushButton::clicked, this, &CUninstallDialog::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CUninstallDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_cancel->setFocus(Qt::OtherFocusReason);
}

void CUninstallDialog::OnOK()
{
    // Read before the settings that hold it are gone.
    const std::string installDir = m_context.Settings.GetInstallDir();
    vandu::uninstall::RemoveSettingsTree();
    const vandu::uninstall::SUninstallPlan plan = vandu::uninstall::PlanUninstall(m_context.Environment.Folders);
    for (const std::string& entry : plan.Entries) {
        vandu::uninstall::RemoveEntry(entry);
    }
    vandu::uninstall::RemoveEntry(plan.UninstallEntry);
    const std::string message = vandu::uninstall::UninstalledMessage(installDir);
    if (!message.empty()) {
        m_context.Prompts.Warn(message);
    }
    m_context.Launcher.Run(
        "update-desktop-database", {"-q", m_context.Environment.Folders.Programs}, CInstaller::kRefreshTimeoutMs);
    accept();
}

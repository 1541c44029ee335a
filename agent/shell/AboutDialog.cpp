#include "agent/shell/AboutDialog.h"

#include "agent/service/ServiceConfig.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/store/AccountInfo.h"
#include "common/DisplayText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A caption and its value; the value is selectable so a screen reader or the keyboard can reach it.
QLabel* AddRow(QGridLayout* grid, int row, const QString& caption, const QString& value)
{
    auto* label = new QLabel(caption);
    auto* field = new QLabel(value);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    field->setAccessibleName(caption);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

} // namespace

CAboutDialog::CAboutDialog(const SAgentServices& services, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);

    CSkinBitmap side;
    side.LoadFromResource(vandu::face::kSidePictureBitmap);
    m_picture = new QLabel;
    m_picture->setPixmap(QPixmap::fromImage(side.Image()));
    m_picture->setFixedSize(vandu::face::kSidePictureWidth, vandu::face::kSidePictureHeight);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setAccessibleName(QStringLiteral("Vandu"));

    const CAccountInfo::Names names = services.Account.GetNames();
    auto* grid = new QGridLayout;
    m_id = AddRow(grid, 0, tr("Vandu ID:"), DisplayText(services.Settings.GetVanduID()));
    m_tollFree = AddRow(grid, 1, tr("US/Canada toll-free number:"), DisplayText(services.Account.GetTollFreeNumber()));
    m_name = AddRow(grid, 2, tr("Name:"), DisplayText(names.FirstName + " " + names.LastName));
    m_version = new QLabel(VersionText());
    grid->addWidget(m_version, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* right = new QVBoxLayout;
    right->addLayout(grid, 1);
    right->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_picture, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

QString CAboutDialog::VersionText()
{
    return QStringLiteral("Version %1 (Build %2)")
        .arg(QString::fromLatin1(kServiceVersion), QString::fromLatin1(kBuild));
}

#include "agent/shell/MessageDetailDialog.h"

#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/MessageStore.h"
#include "common/DisplayText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTopBoxLines = 2;
constexpr int kBodyLines = 6;
constexpr int kMinimumWidth = 360;

// lines: the height in text lines.
QPlainTextEdit* ReadOnlyBox(const QString& text, const QString& accessibleName, int lines)
{
    auto* box = new QPlainTextEdit;
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setPlainText(text);
    box->setAccessibleName(accessibleName);
    const int frame = 2 * box->frameWidth() + static_cast<int>(2 * box->document()->documentMargin());
    box->setMinimumHeight(lines * box->fontMetrics().lineSpacing() + frame);
    return box;
}

QLineEdit* ReadOnlyField(const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    return field;
}

} // namespace

CMessageDetailDialog::CMessageDetailDialog(const SAgentServices& services, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);

    const CAccountInfo::Names names = services.Account.GetNames();
    // The text ends in a line break, which would only add an empty line to the box.
    const QString top = DisplayText(TopText(services.Settings.GetVanduID(), names.FirstName, names.LastName)).trimmed();
    m_top = ReadOnlyBox(top, tr("Subscriber"), kTopBoxLines);
    m_top->setMaximumHeight(m_top->minimumHeight());

    m_received = ReadOnlyField(DisplayText(services.Store.DetailReceived()));
    m_from = ReadOnlyField(DisplayText(services.Store.DetailFrom()));
    auto* form = new QFormLayout;
    form->addRow(tr("Received at:"), m_received);
    form->addRow(tr("From:"), m_from);

    m_body = ReadOnlyBox(DisplayText(services.Store.DetailText()), tr("Message"), kBodyLines);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_top);
    layout->addLayout(form);
    layout->addWidget(m_body, 1);
    layout->addWidget(buttons);
    setMinimumWidth(kMinimumWidth);
    m_ok->setFocus();
}

std::string CMessageDetailDialog::TopText(
    const std::string& vanduId, const std::string& firstName, const std::string& lastName)
{
    return "ID: " + vanduId + " (" + firstName + " " + lastName + ")\r\n";
}

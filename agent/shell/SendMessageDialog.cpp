#include "agent/shell/SendMessageDialog.h"

#include "agent/service/AccountOperations.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/ConnectingRunner.h"
#include "agent/shell/ConnectionState.h"
#include "agent/store/StoredMessage.h"
#include "common/DisplayText.h"
#include "common/UserPrompts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

constexpr int kMessageLines = 4;
constexpr int kMinimumWidth = 380;

std::string Bytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

CSendMessageDialog::CSendMessageDialog(SAgentServices& services, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);

    m_recipient = new QLineEdit;
    // Digits only; blanks around them may come with a pasted number and are removed on sending.
    m_recipient->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\s*[0-9]*\\s*")), m_recipient));
    auto* recipientLabel = new QLabel(tr("Correspondent &Vandu ID"));
    recipientLabel->setBuddy(m_recipient);
    m_nameLine = new QLabel;
    m_nameLine->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_nameLine->setAccessibleName(tr("Correspondent's name"));

    m_message = new QPlainTextEdit;
    m_message->setTabChangesFocus(true);
    m_message->setMinimumHeight(kMessageLines * m_message->fontMetrics().lineSpacing());
    m_message->installEventFilter(this);
    auto* messageLabel = new QLabel(tr("&Message"));
    messageLabel->setBuddy(m_message);

    auto* buttons = new QDialogButtonBox;
    m_send = buttons->addButton(tr("Send"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_send->setDefault(true);
    connect(m_send, &QPushButton::clicked, this, &CSendMessageDialog::Send);
    connect(m_cancel, &QPushButton::clicked, this, &CSendMessageDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(recipientLabel, 0, 0);
    grid->addWidget(m_recipient, 0, 1);
    grid->addWidget(m_nameLine, 0, 2);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(messageLabel);
    layout->addWidget(m_message, 1);
    layout->addWidget(buttons);
    setMinimumWidth(kMinimumWidth);
    setTabOrder(m_recipient, m_message);
    setTabOrder(m_message, m_send);
    setTabOrder(m_send, m_cancel);
    m_recipient->setFocus();
}

void CSendMessageDialog::PresetReply(const CStoredMessage& message)
{
    Preset(message.SenderVanduID(), message.FirstName() + " " + message.LastName());
}

void CSendMessageDialog::Preset(const std::string& recipientId, const std::string& nameLine)
{
    m_recipient->setText(DisplayText(recipientId));
    m_nameLine->setText(DisplayText(nameLine));
    m_message->setFocus();
}

void CSendMessageDialog::reject()
{
    // The send in progress decides how the dialog ends.
    if (m_sending) {
        return;
    }
    QDialog::reject();
}

bool CSendMessageDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_message && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !(key->modifiers() & Qt::ControlModifier)) {
            m_send->click();
            return true;
        }
        if (enter) {
            m_message->insertPlainText(QStringLiteral("\n"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSendMessageDialog::Send()
{
    if (m_sending) {
        return;
    }
    m_sending = true;
    const std::string recipient = CSettingsStore::Trim(Bytes(m_recipient->text()));
    const std::string text = Bytes(m_message->toPlainText());
    if (!m_services.Reachability.IsInternetReachable()) {
        m_services.Prompts.Warn(kNotConnectedText);
    } else {
        IAccountOperations& accounts = m_services.Accounts;
        // The worker touches no widget: it gets the texts, not the fields.
        m_services.Connecting.Run([&accounts, &recipient, &text] { accounts.SendTextMessage(recipient, text); });
        // The operations keep the busy flag of the background runs alone, so it is not cleared here.
        const std::string answer = accounts.ResultText();
        if (!answer.empty()) {
            m_services.Prompts.Inform(answer);
        }
    }
    m_sending = false;
    accept();
}

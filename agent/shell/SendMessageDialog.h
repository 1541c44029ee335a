#pragma once

// The "Send a message" dialog: a correspondent's ID (digits only), the text, and a name line that
// a reply fills in. "Send" asks whether the Internet is reachable, sends the text while the
// connecting box is shown, shows the service's answer when there is one, and closes as accepted
// either way; "Cancel" closes without sending.

#include <QDialog>

#include <string>

struct SAgentServices;
class CStoredMessage;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CSendMessageDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Send a message";
    static constexpr const char* kNotConnectedText = "Your system is not currently connected to the Internet";

    explicit CSendMessageDialog(SAgentServices& services, QWidget* parent = nullptr);

    // A reply: the correspondent is the message's sender, the name line shows the sender's name.
    void PresetReply(const CStoredMessage& message);
    void Preset(const std::string& recipientId, const std::string& nameLine);

    QLineEdit* RecipientField() const { return m_recipient; }
    QPlainTextEdit* MessageField() const { return m_message; }
    QLabel* NameLine() const { return m_nameLine; }
    QPushButton* SendButton() const { return m_send; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void reject() override;

protected:
    // Enter in the text presses "Send" and Ctrl+Enter starts a new line, as in a dialog's edit box.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Send();

    SAgentServices& m_services;
    QLineEdit* m_recipient = nullptr;
    QPlainTextEdit* m_message = nullptr;
    QLabel* m_nameLine = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_sending = false;
};

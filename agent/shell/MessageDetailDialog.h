#pragma once

// The "Detail" dialog of the current message: whose messages these are, when the message came,
// who left it and its text ("Voice Message" for a recording). Everything is read-only. The caller
// shows it only while the store holds a message.

#include <QDialog>

#include <string>

struct SAgentServices;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CMessageDetailDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Detail";

    explicit CMessageDetailDialog(const SAgentServices& services, QWidget* parent = nullptr);

    // "ID: " + id + " (" + first name + " " + last name + ")" and a line break.
    static std::string TopText(const std::string& vanduId, const std::string& firstName, const std::string& lastName);

    QPlainTextEdit* TopBox() const { return m_top; }
    QLineEdit* ReceivedField() const { return m_received; }
    QLineEdit* FromField() const { return m_from; }
    QPlainTextEdit* Body() const { return m_body; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QPlainTextEdit* m_top = nullptr;
    QLineEdit* m_received = nullptr;
    QLineEdit* m_from = nullptr;
    QPlainTextEdit* m_body = nullptr;
    QPushButton* m_ok = nullptr;
};

#pragma once

// The Email Counter page: whether and how often the user's POP3 mailbox is counted, the server,
// the user and password, and how the server is reached (plain, TLS, STARTTLS; an optional port).

#include "agent/settings/VanduSettingsPage.h"

#include <cstdint>
#include <optional>

struct SAgentServices;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CVanduSettingsPageEmailCounter : public CVanduSettingsPage {
    Q_OBJECT
public:
    static constexpr const char* kPeriodRefusedText = "Please enter a positive integer.";
    static constexpr const char* kPortRefusedText = "Please enter an integer between 1 and 65535.";

    explicit CVanduSettingsPageEmailCounter(SAgentServices& services, QWidget* parent = nullptr);

    // Refuses a period that is not an unsigned decimal number, and a port outside 1..65535.
    bool OnKillActive() override;
    void OnOK() override;

    // An unsigned decimal number that fits the setting; none for anything else.
    static std::optional<int32_t> ParsePeriod(const QString& text);
    // True for an empty text (the security's default port) or a number from 1 to 65535.
    static bool IsPortAccepted(const QString& text);

private slots:
    void ShowDefaultPort();

private:
    bool Refuse(QLineEdit* field, const char* text);

    SAgentServices& m_services;
    QCheckBox* m_enabled;
    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_security;
    QLineEdit* m_port;
    QLineEdit* m_period;
};

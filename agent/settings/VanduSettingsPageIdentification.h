#pragma once

// The Identification page: the Vandu ID and password, checked with the service when either
// changed; the way to the signup wizard and to the profile page on the service's web site.

#include "agent/settings/VanduSettingsPage.h"

#include <string>

struct SAgentServices;
class QCheckBox;
class QLineEdit;
class QPushButton;

class CVanduSettingsPageIdentification : public CVanduSettingsPage {
    Q_OBJECT
public:
    static constexpr const char* kNotConnectedText = "Your system is not currently connected to the Internet";
    static constexpr const char* kInvalidText = "Vandu ID and/or Password Invalid.\nPlease change your settings.";
    static constexpr const char* kInvalidStatusText
        = "Right click and select Properties to enter your ID and Password.";

    explicit CVanduSettingsPageIdentification(SAgentServices& services, QWidget* parent = nullptr);

    void OnOK() override;

    // The profile page's address for an ID and a password, inserted as typed.
    static std::string EditProfileUrl(const std::string& vanduId, const std::string& password);

private slots:
    void OnSignup();
    void OnEditProfile();

private:
    void ShowStored();
    std::string TypedId() const;
    std::string TypedPassword() const;
    void CheckWithService();

    SAgentServices& m_services;
    QLineEdit* m_id;
    QLineEdit* m_password;
    QCheckBox* m_savePassword;
    QPushButton* m_signup;
    QPushButton* m_editProfile;
};

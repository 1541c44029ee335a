#pragma once

// The third page: password, e-mail address and name, sent with the stored ID to create the
// account. The password is stored (and kept) only once the service has created the account.

#include "agent/wizard/VanduWizardPage.h"

class QLineEdit;

class CVanduWizardPage3 : public CVanduWizardPage {
    Q_OBJECT
public:
    explicit CVanduWizardPage3(SAgentServices& services, QWidget* parent = nullptr);

    bool validatePage() override;

private:
    QLineEdit* Field(const char* name);
    bool SignUp(const std::string& password);

    QLineEdit* m_password;
    QLineEdit* m_email;
    QLineEdit* m_firstName;
    QLineEdit* m_lastName;
};

#pragma once

// The second page: the user's 10-digit phone number, which becomes the Vandu ID once the service
// says it is free. The ID is stored as soon as it passes, before the account exists.

#include "agent/wizard/VanduWizardPage.h"

class QLineEdit;

class CVanduWizardPage2 : public CVanduWizardPage {
    Q_OBJECT
public:
    explicit CVanduWizardPage2(SAgentServices& services, QWidget* parent = nullptr);

    // The three boxes joined without separators.
    std::string TypedId() const;
    bool validatePage() override;

private:
    QLineEdit* DigitBox(const char* name, const char* accessibleName, int maxLength);
    bool IsAvailable(const std::string& vanduId);

    QLineEdit* m_areaCode;
    QLineEdit* m_exchange;
    QLineEdit* m_number;
};

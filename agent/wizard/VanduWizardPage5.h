#pragma once

// The last page: the service's confirmation of the new account. Finish starts the agent on the
// new ID and opens the call-forward page; there is no way back and no cancelling.

#include "agent/wizard/VanduWizardPage.h"

class CVanduWizardPage5 : public CVanduWizardPage {
    Q_OBJECT
public:
    explicit CVanduWizardPage5(SAgentServices& services, QWidget* parent = nullptr);

    QList<QWizard::WizardButton> ButtonLayout() const override;
    // Shows the confirmation the signup answer left when the page is reached.
    void initializePage() override;
    // Finish.
    bool validatePage() override;

    // The call-forward page for the stored ID and password.
    static std::string CallForwardUrl(const std::string& vanduId, const std::string& password);

private:
    QLabel* m_text;
};

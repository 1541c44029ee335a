#pragma once

// The fourth page: how to use the new ID. The account exists by now, so there is no way back and
// no cancelling: Next only.

#include "agent/wizard/VanduWizardPage.h"

class CVanduWizardPage4 : public CVanduWizardPage {
    Q_OBJECT
public:
    explicit CVanduWizardPage4(SAgentServices& services, QWidget* parent = nullptr);

    QList<QWizard::WizardButton> ButtonLayout() const override;
    // Fills the text from the stored ID when the page is reached.
    void initializePage() override;

private:
    QLabel* m_text;
};

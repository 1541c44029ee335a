#pragma once

// The first page: a new Vandu ID, or the one the user already has (which ends the wizard at once).

#include "agent/wizard/VanduWizardPage.h"

class QButtonGroup;
class QRadioButton;

class CVanduWizardPage1 : public CVanduWizardPage {
    Q_OBJECT
public:
    enum Choice { kNewId = 0, kExistingId = 1 };

    explicit CVanduWizardPage1(SAgentServices& services, QWidget* parent = nullptr);

    int GetChoice() const;
    bool validatePage() override;

signals:
    // Next with the existing ID: the wizard ends here.
    void ExistingIdChosen();

private:
    QButtonGroup* m_choice;
};

#pragma once

// The signup wizard: a new user's phone number becomes the Vandu ID once the service says it is
// free, the service creates the account, and Finish starts the agent on it. Choosing the existing
// ID on the first page ends it at once with nothing changed (result Rejected). The ID is stored
// when the second page passes, the password when the third does. From the fourth page on the
// account exists: no Back and no Cancel (nor Escape or closing the window).
//
// Usage: CVanduSignupWizard wizard(services, parentOrNull);
//        wizard.exec(); // the result is not needed: the settings store says what happened

#include <QWizard>

struct SAgentServices;
class CVanduWizardPage;

class CVanduSignupWizard : public QWizard {
    Q_OBJECT
public:
    enum PageId { kChoicePage = 0, kPhonePage, kAccountPage, kHowToUsePage, kConfirmationPage };

    explicit CVanduSignupWizard(SAgentServices& services, QWidget* parent = nullptr);

public slots:
    void reject() override;

private slots:
    void OnCurrentIdChanged(int id);

private:
    CVanduWizardPage* Page(int id) const;
};

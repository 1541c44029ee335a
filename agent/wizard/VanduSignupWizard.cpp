#include "agent/wizard/VanduSignupWizard.h"

#include "agent/wizard/VanduWizardPage1.h"
#include "agent/wizard/VanduWizardPage2.h"
#include "agent/wizard/VanduWizardPage3.h"
#include "agent/wizard/VanduWizardPage4.h"
#include "agent/wizard/VanduWizardPage5.h"
#include "common/StringTable.h"

#include <QAbstractButton>

CVanduSignupWizard::CVanduSignupWizard(SAgentServices& services, QWidget* parent)
    : QWizard(parent)
{
    setObjectName(QStringLiteral("signupWizard"));
    setWindowTitle(QString::fromStdString(vandu::strings::LoadResourceString(vandu::strings::IDS_WIZARD_CAPTION)));
    // The pages draw their own picture; the classic look adds no header or side banner of its own.
    setWizardStyle(QWizard::ClassicStyle);
    // Fixed texts, the same on every desktop whatever its style would name the buttons.
    setButtonText(QWizard::BackButton, QStringLiteral("< &Back"));
    setButtonText(QWizard::NextButton, QStringLiteral("&Next >"));
    setButtonText(QWizard::FinishButton, QStringLiteral("Finish"));
    setButtonText(QWizard::CancelButton, QStringLiteral("Cancel"));

    auto* choice = new CVanduWizardPage1(services);
    setPage(kChoicePage, choice);
    setPage(kPhonePage, new CVanduWizardPage2(services));
    setPage(kAccountPage, new CVanduWizardPage3(services));
    setPage(kHowToUsePage, new CVanduWizardPage4(services));
    setPage(kConfirmationPage, new CVanduWizardPage5(services));
    connect(choice, &CVanduWizardPage1::ExistingIdChosen, this, [this] { done(QDialog::Rejected); });
    connect(this, &QWizard::currentIdChanged, this, &CVanduSignupWizard::OnCurrentIdChanged);
    OnCurrentIdChanged(startId());
}

CVanduWizardPage* CVanduSignupWizard::Page(int id) const
{
    return qobject_cast<CVanduWizardPage*>(page(id));
}

// Each page names its buttons; the user's focus goes to its first control.
void CVanduSignupWizard::OnCurrentIdChanged(int id)
{
    if (CVanduWizardPage* current = Page(id)) {
        setButtonLayout(current->ButtonLayout());
        current->setFocus();
    }
}

// Escape and the window's close button count as Cancel, which the last two pages do not offer.
void CVanduSignupWizard::reject()
{
    const CVanduWizardPage* current = Page(currentId());
    if (!current || current->ButtonLayout().contains(QWizard::CancelButton)) {
        QWizard::reject();
    }
}

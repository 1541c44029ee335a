#pragma once

// What the signup-wizard tests share: the settings-sheet rig (real settings and message stores,
// recording seams) with the user-info job's real account operations behind a recorder, and the
// hands of a user who clicks and types through the wizard's pages.

#include "agent/service/ServiceJob.h"
#include "agent/wizard/VanduSignupWizard.h"
#include "tests/agent/settings/SheetRig.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vandu::test {

// Records every account operation, then lets the real one do it.
class CRecordingAccounts : public IAccountOperations {
public:
    explicit CRecordingAccounts(IAccountOperations& real)
        : m_real(real)
    {
    }
    void CheckPassword() override
    {
        Calls.push_back("CheckPassword");
        m_real.CheckPassword();
    }
    void CheckIdAvailable(const std::string& vanduId) override
    {
        Calls.push_back("CheckIdAvailable " + vanduId);
        m_real.CheckIdAvailable(vanduId);
    }
    void Signup(const std::string& vanduId, const std::string& password, const std::string& email,
        const std::string& firstName, const std::string& lastName) override
    {
        Calls.push_back("Signup " + vanduId + " " + password + " " + email + " " + firstName + " " + lastName);
        m_real.Signup(vanduId, password, email, firstName, lastName);
    }
    void SendTextMessage(const std::string& recipientId, const std::string& text) override
    {
        Calls.push_back("SendTextMessage " + recipientId);
        m_real.SendTextMessage(recipientId, text);
    }
    std::string ResultText() const override { return m_real.ResultText(); }

    std::vector<std::string> Calls;

private:
    IAccountOperations& m_real;
};

// What a new user types on the account page.
struct SAccountValues {
    const char* Password = "1234";
    const char* Email = "ann@example.com";
    const char* FirstName = "Ann";
    const char* LastName = "Lee";
};

// The wizard with the job's real operations, pointed at whatever service home the test sets.
class WizardTestBase : public ::testing::Test {
protected:
    WizardTestBase()
        : accounts(job)
        , rig(&accounts)
        , connection(rig.Settings)
    {
        job.SetInputs(&rig.Store, &rig.Settings, &connection, &rig.Account);
    }

    // A fresh wizard on the screen (offscreen), as the main window would run it.
    std::unique_ptr<CVanduSignupWizard> Open()
    {
        auto wizard = std::make_unique<CVanduSignupWizard>(rig.Services);
        wizard->show();
        return wizard;
    }

    template <typename T> static T* Find(CVanduSignupWizard& wizard, int page, const char* name)
    {
        T* widget = wizard.page(page)->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // A press on a wizard button, as the user's click would give it.
    static void Press(CVanduSignupWizard& wizard, QWizard::WizardButton which)
    {
        QAbstractButton* button = wizard.button(which);
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << "button " << which << " not offered";
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void TypeInto(QLineEdit* box, const char* text)
    {
        box->clear();
        QTest::keyClicks(box, QString::fromUtf8(text));
    }
    // From the first page to the second with a new ID.
    static void ChooseNewId(CVanduSignupWizard& wizard)
    {
        QTest::mouseClick(Find<QRadioButton>(wizard, CVanduSignupWizard::kChoicePage, "newId"), Qt::LeftButton);
        Press(wizard, QWizard::NextButton);
    }
    static void TypePhone(CVanduSignupWizard& wizard, const char* area, const char* exchange, const char* number)
    {
        TypeInto(Find<QLineEdit>(wizard, CVanduSignupWizard::kPhonePage, "areaCode"), area);
        TypeInto(Find<QLineEdit>(wizard, CVanduSignupWizard::kPhonePage, "exchange"), exchange);
        TypeInto(Find<QLineEdit>(wizard, CVanduSignupWizard::kPhonePage, "number"), number);
    }
    static void TypeAccount(CVanduSignupWizard& wizard, const SAccountValues& values)
    {
        const int page = CVanduSignupWizard::kAccountPage;
        TypeInto(Find<QLineEdit>(wizard, page, "password"), values.Password);
        TypeInto(Find<QLineEdit>(wizard, page, "email"), values.Email);
        TypeInto(Find<QLineEdit>(wizard, page, "firstName"), values.FirstName);
        TypeInto(Find<QLineEdit>(wizard, page, "lastName"), values.LastName);
    }
    // Pages 1 to 3 with a free ID: the account page is current afterwards.
    void ToAccountPage(CVanduSignupWizard& wizard, const char* id10)
    {
        const std::string id(id10);
        ChooseNewId(wizard);
        TypePhone(wizard, id.substr(0, 3).c_str(), id.substr(3, 3).c_str(), id.substr(6).c_str());
        Press(wizard, QWizard::NextButton);
        ASSERT_EQ(wizard.currentId(), CVanduSignupWizard::kAccountPage)
            << ::testing::PrintToString(rig.Prompts.Shown());
    }

    CServiceJob job;
    CRecordingAccounts accounts;
    CSheetRig rig;
    CConnectionState connection;
};

} // namespace vandu::test

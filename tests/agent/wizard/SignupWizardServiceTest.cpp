// The signup wizard against the real reference service: the user who already has an ID leaves at
// once, a short ID never reaches the service, a taken ID and each refused value get the service's
// reason, and a full signup stores the account and starts the agent on it.

#include "agent/service/ServiceConfig.h"
#include "agent/wizard/SignupTexts.h"
#include "server/ServiceStore.h"
#include "tests/agent/wizard/WizardRig.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <optional>

using namespace vandu::test;
using Strings = std::vector<std::string>;
namespace wizard = vandu::wizard;

namespace {

constexpr const char* kTakenId = "5551234567";
constexpr const char* kNewId = "5559876543";

class SignupWizardServiceTest : public WizardTestBase {
protected:
    SignupWizardServiceTest()
        : service(data.Path())
        , home(service.Home())
    {
    }
    void SetUp() override
    {
        VANDU_REQUIRE_PEER(service.Running(), "vandu-service");
        ASSERT_EQ(service.Admin({"add-subscriber", kTakenId, "1234", "Bob", "Ray", "bob@example.com"}), 0);
    }
    std::optional<vandu::server::CSubscriber> Subscriber(const std::string& id)
    {
        vandu::server::CServiceStore store;
        EXPECT_EQ(store.Open(data.File("service.db")), 0);
        return store.FindSubscriber(id);
    }

    TempDir data;
    CVanduService service;
    CServiceHome home;
};

TEST_F(SignupWizardServiceTest, ExistingIdEndsAtOnce)
{
    rig.Settings.SetVanduID(kTakenId);
    rig.Forget();
    auto wizard = Open();
    QTest::mouseClick(Find<QRadioButton>(*wizard, CVanduSignupWizard::kChoicePage, "existingId"), Qt::LeftButton);
    Press(*wizard, QWizard::NextButton);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), 0);
    EXPECT_TRUE(rig.Backend.Writes.empty());
    EXPECT_TRUE(accounts.Calls.empty());
    EXPECT_TRUE(rig.Window.Calls.empty());
    EXPECT_TRUE(rig.Prompts.Shown().empty());
    EXPECT_TRUE(rig.Urls.Opened().empty());
}

// Anything but ten digits is refused on this side: no call reaches the account operations and the
// service knows nothing of the ID afterwards.
TEST_F(SignupWizardServiceTest, IdsOfOtherLengthsAreRefusedWithoutARequest)
{
    struct Row {
        const char* area;
        const char* exchange;
        const char* number;
    };
    const Row rows[] = {{"555", "987", "654"}, {"55", "987", "6543"}, {"555", "98", "6543"}, {"", "", ""}};
    auto wizard = Open();
    ChooseNewId(*wizard);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.area) + "-" + row.exchange + "-" + row.number);
        rig.Forget();
        TypePhone(*wizard, row.area, row.exchange, row.number);
        Press(*wizard, QWizard::NextButton);
        EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
        EXPECT_EQ(rig.Prompts.Shown(), Strings {wizard::kIdNotValidText});
        EXPECT_TRUE(rig.Backend.Writes.empty());
    }
    EXPECT_TRUE(accounts.Calls.empty());
    EXPECT_EQ(rig.Runner.Runs(), 0);
    // The same hands with ten digits do reach the service.
    TypePhone(*wizard, "555", "987", "6543");
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(accounts.Calls, Strings {"CheckIdAvailable 5559876543"});
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
}

TEST_F(SignupWizardServiceTest, TakenIdShowsTheServiceText)
{
    auto wizard = Open();
    ChooseNewId(*wizard);
    rig.Forget();
    TypePhone(*wizard, "555", "123", "4567");
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
    EXPECT_EQ(rig.Prompts.Shown(), Strings {"This Vandu ID is already taken.\nPlease choose another one."});
    EXPECT_TRUE(rig.Backend.Writes.empty());
    EXPECT_TRUE(connection.IsOnline());

    rig.Forget();
    TypePhone(*wizard, "555", "987", "6543");
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
    EXPECT_TRUE(rig.Prompts.Shown().empty());
    EXPECT_EQ(rig.Backend.Writes, Strings {"VanduID"});
    EXPECT_EQ(rig.Settings.GetVanduID(), kNewId);
    EXPECT_EQ(rig.Runner.Runs(), 2);
}

// The service's reasons for each value it refuses; the user stays and may correct the value.
TEST_F(SignupWizardServiceTest, RefusedValuesShowTheServiceReasons)
{
    struct Row {
        const char* name;
        SAccountValues values;
        const char* shown;
    };
    const Row rows[] = {
        {"letter in the password", {"12a4", "ann@example.com", "Ann", "Lee"},
            "Sorry, the password is not valid.\nPassword must contain 4 numbers. No letters are allowed\nPlease try "
            "again."},
        {"digit in the first name", {"1234", "ann@example.com", "Ann2", "Lee"},
            "Sorry, the first name is not valid.\nPlease try another one."},
        {"no last name", {"1234", "ann@example.com", "Ann", ""},
            "Sorry, the last name is not valid.\nPlease try another one."},
        {"no domain", {"1234", "ann", "Ann", "Lee"}, "Sorry, the email address is not valid.\nPlease try another one."},
    };
    auto wizard = Open();
    ToAccountPage(*wizard, kNewId);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        rig.Forget();
        TypeAccount(*wizard, row.values);
        Press(*wizard, QWizard::NextButton);
        EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
        EXPECT_EQ(rig.Prompts.Shown(), Strings {row.shown});
        EXPECT_TRUE(rig.Backend.Writes.empty());
    }
    EXPECT_FALSE(Subscriber(kNewId));

    // Someone else took the ID after the check.
    ASSERT_EQ(service.Admin({"add-subscriber", kNewId, "4321", "Cy", "Dee", "cy@example.com"}), 0);
    rig.Forget();
    TypeAccount(*wizard, {});
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
    EXPECT_EQ(rig.Prompts.Shown(), Strings {"Sorry, this Vandu ID is not available.\nPlease try another one."});
    EXPECT_EQ(Subscriber(kNewId)->Password, "4321");
}

// The account is created, the password stored scrambled and kept, and Finish moves the agent to
// the new subscriber: its messages, no fixed status text, a full cycle and the call-forward page.
TEST_F(SignupWizardServiceTest, FullSignupAndFinish)
{
    {
        // A message already waits in the new ID's file, as after a reinstall.
        CMessageStore other(rig.Renderer, rig.Player, rig.Settings, rig.Account, rig.Time, rig.Dir.File("msg"));
        other.Open(kNewId);
        other.AddDownloadedMessage("1/2/2026", "10:00:00", 2, "", "", "hello", "", "", "", "");
        ASSERT_EQ(other.Save(), 1);
    }
    rig.Store.SetStatusOverride(true, "Right click and select Properties to enter your ID and Password.");
    rig.Forget();
    auto wizard = Open();
    ToAccountPage(*wizard, kNewId);
    TypeAccount(*wizard, {});
    Press(*wizard, QWizard::NextButton);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kHowToUsePage) << ::testing::PrintToString(rig.Prompts.Shown());

    const auto subscriber = Subscriber(kNewId);
    ASSERT_TRUE(subscriber);
    EXPECT_EQ(subscriber->Password + " " + subscriber->FirstName + " " + subscriber->LastName + " " + subscriber->Email,
        "1234 Ann Lee ann@example.com");
    EXPECT_EQ(rig.Backend.Writes, (Strings {"VanduID", "Channel", "AskVanduID"}));
    const auto channel = rig.Backend.Raw("Channel");
    ASSERT_TRUE(channel && std::holds_alternative<std::string>(*channel));
    EXPECT_NE(std::get<std::string>(*channel), "1234");
    EXPECT_EQ(rig.Settings.GetPassword(), "1234");
    EXPECT_EQ(rig.Backend.ReadInt("AskVanduID"), 0);
    EXPECT_TRUE(rig.Settings.IsPasswordSaved());
    EXPECT_TRUE(Find<QLabel>(*wizard, CVanduSignupWizard::kHowToUsePage, "howToUse")
                    ->text()
                    .contains(QStringLiteral("(555-987-6543)")));

    Press(*wizard, QWizard::NextButton);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kConfirmationPage);
    const QString confirmation = Find<QLabel>(*wizard, CVanduSignupWizard::kConfirmationPage, "confirmation")->text();
    EXPECT_TRUE(confirmation.startsWith(QStringLiteral("Welcome to Vandu, Ann Lee!\nYour Vandu ID is 5559876543")))
        << confirmation.toStdString();
    EXPECT_TRUE(rig.Window.Calls.empty());
    EXPECT_EQ(rig.Store.Count(), 0);

    Press(*wizard, QWizard::FinishButton);
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_FALSE(rig.Store.StatusOverride());
    EXPECT_EQ(rig.Store.Count(), 1);
    EXPECT_EQ(rig.Window.Calls, (Strings {"RestartCycle", "Repaint"}));
    EXPECT_EQ(rig.Urls.Opened(), Strings {ServiceAspBase() + "cfwd-signup1.asp?VanduID=5559876543&Tok=8638"});
    EXPECT_EQ(rig.Urls.Opened().front().rfind(service.Home(), 0), 0u);
    EXPECT_TRUE(rig.Prompts.Shown().empty());
    EXPECT_EQ(rig.Runner.Runs(), 2);
}

} // namespace

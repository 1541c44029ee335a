// The signup wizard with real widgets on the offscreen platform and the user-info job's real
// account operations against a scripted loopback service, which can give every answer the
// reference service never gives: each page's texts, the phone boxes, keyboard-only use, every
// answer of the ID check and of the signup, and no way back once the account exists.

#include "agent/service/ServiceConfig.h"
#include "agent/skin/FaceLayout.h"
#include "agent/wizard/SignupTexts.h"
#include "tests/agent/wizard/WizardRig.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QWizardPage>

#include <gtest/gtest.h>

using namespace vandu::test;
using Strings = std::vector<std::string>;
namespace wizard = vandu::wizard;

namespace {

constexpr const char* kTakenText = "This Vandu ID is already taken.\nPlease choose another one.";
constexpr const char* kEarlierText = "a text left by an earlier answer";
const Strings kNotConnected {wizard::kIdNotConnectedText};

class SignupWizardTest : public WizardTestBase {
protected:
    SignupWizardTest()
        : home(server.Home())
    {
        server.On("pda_id_available", {{200, "Result=0\r\n"}});
    }
    void AcceptSignups() { server.On("pda_signup", {{200, "Result=0\r\nMessage=Welcome aboard.\r\n"}}); }

    // Every text a page shows: labels, frames and choices.
    static QStringList Texts(CVanduSignupWizard& wizard, int page)
    {
        QStringList texts;
        for (const QLabel* label : wizard.page(page)->findChildren<QLabel*>()) {
            texts << label->text();
        }
        for (const QGroupBox* group : wizard.page(page)->findChildren<QGroupBox*>()) {
            texts << group->title();
        }
        for (const QAbstractButton* button : wizard.page(page)->findChildren<QAbstractButton*>()) {
            texts << button->text();
        }
        return texts;
    }
    // Keys typed where the focus is, as a user without a mouse would.
    static void Keys(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text)); }
    static void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    CScriptedServer server;
    CServiceHome home;
};

TEST_F(SignupWizardTest, PagesShowTheirTextsPictureAndTitle)
{
    struct Row {
        int page;
        const char* text;
    };
    // The choices, and the one text with quotation marks in it.
    const Row rows[] = {
        {0, "New Vandu ID - I would like to choose a new Vandu ID."},
        {0, "Existing Vandu ID - I already have my own Vandu ID."},
        {1,
            "In order for \"Vandu Ringfold\" to catch calls when you are connected to the Internet and your phone "
            "line is tied up, your ID needs be the same as your phone number."},
        {3, "How to use Vandu?"},
        {4, "Sign-up confirmation"},
    };
    auto wizard = Open();
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Wizard"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_TRUE(Texts(*wizard, row.page).contains(QString::fromLatin1(row.text)))
            << Texts(*wizard, row.page).join(QStringLiteral(" | ")).toStdString();
    }
    const QImage expected = QImage(QStringLiteral(":/bitmaps/198.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull());
    for (int page = 0; page < 5; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(wizard->page(page)->title(), QStringLiteral("Vandu Sign-Up Wizard"));
        const QLabel* picture = Find<QLabel>(*wizard, page, "picture");
        EXPECT_EQ(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32), expected);
        EXPECT_EQ(picture->size(), QSize(vandu::face::kSidePictureWidth, vandu::face::kSidePictureHeight));
    }
    EXPECT_EQ(Find<QLineEdit>(*wizard, 2, "password")->echoMode(), QLineEdit::Normal);
}

TEST_F(SignupWizardTest, PhoneBoxesTakeDigitsUpToTheirLimits)
{
    struct Row {
        const char* name;
        const char* accessibleName;
        const char* typed;
        const char* kept;
    };
    const Row rows[] = {
        {"areaCode", "Area code", "5a5 -5x9", "555"},
        {"exchange", "Exchange", "98765", "987"},
        {"number", "Number", "(65)43210", "6543"},
    };
    auto wizard = Open();
    ChooseNewId(*wizard);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QLineEdit* box = Find<QLineEdit>(*wizard, CVanduSignupWizard::kPhonePage, row.name);
        TypeInto(box, row.typed);
        EXPECT_EQ(box->text(), QString::fromLatin1(row.kept));
        EXPECT_EQ(box->accessibleName(), QString::fromLatin1(row.accessibleName));
    }
    const auto labels = wizard->page(CVanduSignupWizard::kPhonePage)->findChildren<QLabel*>();
    const auto prompt = std::find_if(labels.begin(), labels.end(),
        [](const QLabel* label) { return label->text().startsWith(QStringLiteral("Enter your phone number")); });
    ASSERT_NE(prompt, labels.end());
    EXPECT_EQ((*prompt)->buddy(), Find<QLineEdit>(*wizard, CVanduSignupWizard::kPhonePage, "areaCode"));
    for (const char* name : {"password", "email", "firstName", "lastName"}) {
        EXPECT_FALSE(Find<QLineEdit>(*wizard, CVanduSignupWizard::kAccountPage, name)->accessibleName().isEmpty())
            << name;
    }
}

// Enter is Next on every page, Tab walks the boxes in reading order, and the focus starts in the
// first box of each page.
TEST_F(SignupWizardTest, KeyboardOnlySignup)
{
    AcceptSignups();
    auto wizard = Open();
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    EXPECT_EQ(QApplication::focusWidget(), Find<QRadioButton>(*wizard, 0, "newId"));
    Key(Qt::Key_Down);
    EXPECT_TRUE(Find<QRadioButton>(*wizard, 0, "existingId")->isChecked());
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(*wizard, 1, "areaCode"));
    Keys("555");
    Key(Qt::Key_Tab);
    Keys("987");
    Key(Qt::Key_Tab);
    Keys("6543");
    Key(Qt::Key_Return);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage) << ::testing::PrintToString(rig.Prompts.Shown());
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(*wizard, 2, "password"));
    Keys("1234");
    Key(Qt::Key_Tab);
    Keys("ann@example.com");
    Key(Qt::Key_Tab);
    Keys("Ann");
    Key(Qt::Key_Tab);
    Keys("Lee");
    Key(Qt::Key_Return);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kHowToUsePage) << ::testing::PrintToString(rig.Prompts.Shown());
    Key(Qt::Key_Return);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kConfirmationPage);
    Key(Qt::Key_Return);
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(
        accounts.Calls, (Strings {"CheckIdAvailable 5559876543", "Signup 5559876543 1234 ann@example.com Ann Lee"}));
    EXPECT_EQ(rig.Urls.Opened(), Strings {ServiceAspBase() + "cfwd-signup1.asp?VanduID=5559876543&Tok=8638"});
    EXPECT_TRUE(rig.Prompts.Shown().empty());
}

// Whatever the service answers but "free", the user stays on the phone page with the text the
// check left, and no ID is stored.
TEST_F(SignupWizardTest, IdCheckAnswers)
{
    struct Row {
        const char* name;
        SScriptedAnswer answer;
        const char* shown;
    };
    const Row rows[] = {
        {"taken", {200, "Result=1\r\n"}, kTakenText},
        {"not valid", {200, "Result=2\r\n"}, "This Vandu ID is not valid.\nPlease choose another one."},
        {"unlisted code", {200, "Result=7\r\n"}, kEarlierText},
        {"no result", {200, "Hello\r\n"}, kEarlierText},
        {"server error", {500, "Result=0\r\n"}, wizard::kIdNotConnectedText},
        {"not found", {404, ""}, wizard::kIdNotConnectedText},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CScriptedServer rowServer;
        rowServer.On("pda_id_available", {row.answer});
        CServiceHome rowHome(rowServer.Home());
        rig.Account.SetIdMessage(kEarlierText);
        rig.Forget();
        auto wizard = Open();
        ChooseNewId(*wizard);
        TypePhone(*wizard, "555", "123", "4567");
        Press(*wizard, QWizard::NextButton);
        EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
        EXPECT_EQ(rig.Prompts.Shown(), Strings {row.shown});
        EXPECT_TRUE(rig.Backend.Writes.empty()) << ::testing::PrintToString(rig.Backend.Writes);
        EXPECT_EQ(rowServer.Count("pda_id_available.asp?VanduID=5551234567"), 1);
    }
}

// The check leaves the free flag alone when it gets no answer: an ID found free before must not
// let an unchecked one through.
TEST_F(SignupWizardTest, UnansweredCheckAfterAFreeIdStaysOnThePage)
{
    auto wizard = Open();
    ToAccountPage(*wizard, "5559876543");
    Press(*wizard, QWizard::BackButton);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
    rig.Forget();
    CServiceHome dead(DeadHome());
    TypePhone(*wizard, "555", "000", "1111");
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
    EXPECT_EQ(rig.Prompts.Shown(), kNotConnected);
    EXPECT_EQ(rig.Settings.GetVanduID(), "5559876543");
    EXPECT_FALSE(connection.IsOnline());
}

// Every refusal keeps the user on the account page with the service's reason, and stores no
// password; the ID stored by the phone page stays.
TEST_F(SignupWizardTest, SignupAnswers)
{
    struct Row {
        const char* name;
        SScriptedAnswer answer;
        const char* shown;
    };
    const Row rows[] = {
        {"1", {200, "Result=1\r\n"}, "Sorry, can not create Vandu ID.\nPlease try again."},
        {"3", {200, "Result=3\r\n"}, "Sorry, this Vandu ID is not available.\nPlease try another one."},
        {"4", {200, "Result=4\r\n"}, "Sorry, this Vandu ID is not valid.\nPlease try another one."},
        {"5", {200, "Result=5\r\n"},
            "Sorry, the password is not valid.\nPassword must contain 4 numbers. No letters are allowed\nPlease try "
            "again."},
        {"6", {200, "Result=6\r\n"}, "Sorry, the first name is not valid.\nPlease try another one."},
        {"7", {200, "Result=7\r\n"}, "Sorry, the last name is not valid.\nPlease try another one."},
        {"8", {200, "Result=8\r\n"}, "Sorry, the email address is not valid.\nPlease try another one."},
        {"unlisted 9", {200, "Result=9\r\n"}, kEarlierText},
        {"server error", {500, "Result=0\r\nMessage=ok\r\n"}, wizard::kIdNotConnectedText},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CScriptedServer rowServer;
        rowServer.On("pda_id_available", {{200, "Result=0\r\n"}});
        rowServer.On("pda_signup", {row.answer});
        CServiceHome rowHome(rowServer.Home());
        rig.Account.SetSignupMessage(kEarlierText);
        // A success of an earlier run of the wizard.
        rig.Account.SetSignupOk(1);
        auto wizard = Open();
        ToAccountPage(*wizard, "5559876543");
        rig.Forget();
        TypeAccount(*wizard, {});
        Press(*wizard, QWizard::NextButton);
        EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
        EXPECT_EQ(rig.Prompts.Shown(), Strings {row.shown});
        EXPECT_TRUE(rig.Backend.Writes.empty()) << ::testing::PrintToString(rig.Backend.Writes);
        EXPECT_EQ(rig.Settings.GetVanduID(), "5559876543");
        EXPECT_EQ(rowServer.Count("pda_signup.asp?VanduID=5559876543&Password=1234&Email=ann%40example%2Ecom&"
                                  "FirstName=Ann&LastName=Lee&VendorID=0"),
            1)
            << ::testing::PrintToString(rowServer.Requests());
    }
}

// The confirmation is the whole rest of the answer, over several lines, shown without the CRs and
// never read as markup.
TEST_F(SignupWizardTest, ConfirmationIsTheRestOfTheAnswer)
{
    server.On("pda_signup", {{200, "Result=0\r\nMessage=Welcome, Ann!\r\nYour ID: 5559876543\r\nSee <b>you</b>\r\n"}});
    auto wizard = Open();
    ToAccountPage(*wizard, "5559876543");
    TypeAccount(*wizard, {});
    Press(*wizard, QWizard::NextButton);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kHowToUsePage);
    Press(*wizard, QWizard::NextButton);
    const QLabel* confirmation = Find<QLabel>(*wizard, CVanduSignupWizard::kConfirmationPage, "confirmation");
    EXPECT_EQ(confirmation->text(), QStringLiteral("Welcome, Ann!\nYour ID: 5559876543\nSee <b>you</b>"));
    EXPECT_EQ(confirmation->textFormat(), Qt::PlainText);
}

TEST_F(SignupWizardTest, NotReachableAsksNothing)
{
    auto wizard = Open();
    ChooseNewId(*wizard);
    TypePhone(*wizard, "555", "987", "6543");
    rig.Reachability.Reachable = false;
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kPhonePage);
    EXPECT_EQ(rig.Prompts.Shown(), kNotConnected);
    rig.Reachability.Reachable = true;
    Press(*wizard, QWizard::NextButton);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
    rig.Forget();
    rig.Reachability.Reachable = false;
    TypeAccount(*wizard, {});
    Press(*wizard, QWizard::NextButton);
    EXPECT_EQ(wizard->currentId(), CVanduSignupWizard::kAccountPage);
    EXPECT_EQ(rig.Prompts.Shown(), Strings {wizard::kSignupNotConnectedText});
    EXPECT_EQ(accounts.Calls, Strings {"CheckIdAvailable 5559876543"});
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(rig.Runner.Runs(), 1);
}

// Cancel on the account page leaves the ID stored without a password; once the account exists
// neither the buttons, Escape nor the window's close button go back or away.
TEST_F(SignupWizardTest, NoWayBackOnceTheAccountExists)
{
    AcceptSignups();
    {
        auto wizard = Open();
        ToAccountPage(*wizard, "5559876543");
        rig.Forget();
        Press(*wizard, QWizard::CancelButton);
        EXPECT_EQ(wizard->result(), QDialog::Rejected);
        EXPECT_FALSE(wizard->isVisible());
        EXPECT_TRUE(rig.Backend.Writes.empty());
        EXPECT_EQ(rig.Settings.GetVanduID(), "5559876543");
    }
    auto wizard = Open();
    ToAccountPage(*wizard, "5559876543");
    TypeAccount(*wizard, {});
    Press(*wizard, QWizard::NextButton);
    ASSERT_EQ(wizard->currentId(), CVanduSignupWizard::kHowToUsePage);
    for (int page : {CVanduSignupWizard::kHowToUsePage, CVanduSignupWizard::kConfirmationPage}) {
        SCOPED_TRACE(page);
        ASSERT_EQ(wizard->currentId(), page);
        const QWizard::WizardButton onward
            = page == CVanduSignupWizard::kHowToUsePage ? QWizard::NextButton : QWizard::FinishButton;
        for (QWizard::WizardButton which :
            {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton, QWizard::CancelButton}) {
            EXPECT_EQ(wizard->button(which)->isVisible(), which == onward) << which;
        }
        QTest::keyClick(wizard.get(), Qt::Key_Escape);
        EXPECT_FALSE(wizard->close());
        QTest::keyClick(wizard.get(), Qt::Key_B, Qt::AltModifier);
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(wizard->currentId(), page);
        EXPECT_TRUE(rig.Urls.Opened().empty());
        Press(*wizard, onward);
    }
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
}

} // namespace

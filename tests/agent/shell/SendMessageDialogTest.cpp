// The "Send a message" dialog: its fields, what Send does with the reachability check, the
// connecting box and the service's answer, against the real reference service and against one
// that never answers while the windows must go on painting.

#include "agent/shell/SendMessageDialog.h"
#include "agent/shell/ConnectingDialog.h"
#include "agent/store/StoredMessage.h"
#include "tests/agent/shell/DialogTestRig.h"
#include "tests/support/LoopbackServer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace vandu::test;

namespace {

constexpr const char* kBob = "5551234567";
constexpr const char* kBobPassword = "1234";
constexpr const char* kAnn = "5557654321";
constexpr const char* kAnnPassword = "4321";

class CRecordedAccounts : public IAccountOperations {
public:
    void CheckPassword() override { }
    void CheckIdAvailable(const std::string&) override { }
    void Signup(
        const std::string&, const std::string&, const std::string&, const std::string&, const std::string&) override
    {
    }
    void SendTextMessage(const std::string& recipientId, const std::string& text) override
    {
        Sent.push_back({recipientId, text});
    }
    std::string ResultText() const override { return Answer; }

    std::vector<std::pair<std::string, std::string>> Sent;
    std::string Answer;
};

// The empty dialog: digits only in the ID; Send takes the ID without the blanks around it, and an
// empty answer shows no box.
TEST(SendMessageDialog, EmptyDialogSendsWhatWasTyped)
{
    CDialogRig rig;
    CRecordedAccounts accounts;
    SAgentServices services = rig.Services(nullptr, &accounts);
    CSendMessageDialog dialog(services);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Send a message");
    EXPECT_EQ(dialog.RecipientField()->text() + dialog.MessageField()->toPlainText() + dialog.NameLine()->text(), "");
    EXPECT_EQ(dialog.SendButton()->text(), "Send");
    EXPECT_TRUE(dialog.SendButton()->isDefault());
    EXPECT_EQ(dialog.focusWidget(), dialog.RecipientField());
    QTest::keyClicks(dialog.RecipientField(), "55a5-1x2");
    EXPECT_EQ(dialog.RecipientField()->text(), "55512");

    dialog.RecipientField()->setText(" 5557654321\t");
    QTest::keyClicks(dialog.MessageField(), "one");
    // Ctrl+Enter starts a line; Enter alone presses Send.
    QTest::keyClick(dialog.MessageField(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(dialog.MessageField(), "two");
    QTest::keyClick(dialog.MessageField(), Qt::Key_Return);

    EXPECT_EQ(accounts.Sent, (std::vector<std::pair<std::string, std::string>> {{kAnn, "one\ntwo"}}));
    EXPECT_EQ(rig.Runner.Runs(), 1);
    EXPECT_TRUE(rig.Prompts.Boxes().empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

// Cancel asks nothing; Send with the Internet unreachable says so and sends nothing.
TEST(SendMessageDialog, UnreachableInternetSendsNothing)
{
    CDialogRig rig;
    rig.Reachability.Reachable = false;
    CRecordedAccounts accounts;
    SAgentServices services = rig.Services(nullptr, &accounts);
    CSendMessageDialog cancelled(services);
    cancelled.show();
    cancelled.CancelButton()->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(rig.Reachability.Asked, 0);

    CSendMessageDialog dialog(services);
    dialog.show();
    dialog.RecipientField()->setText(kAnn);
    dialog.MessageField()->setPlainText("hello");
    dialog.SendButton()->click();

    EXPECT_EQ(rig.Reachability.Asked, 1);
    EXPECT_TRUE(accounts.Sent.empty());
    EXPECT_EQ(rig.Runner.Runs(), 0);
    ASSERT_EQ(rig.Prompts.Boxes().size(), 1u);
    EXPECT_EQ(rig.Prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Warning);
    EXPECT_EQ(rig.Prompts.Boxes()[0].Text, "Your system is not currently connected to the Internet");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// A reply through the real service: the text arrives at the recipient exactly as typed.
TEST(SendMessageDialog, ReplyReachesTheRecipientThroughTheService)
{
    VANDU_REQUIRE_PEER(!VanduServiceProgram().empty(), "vandu-service (build the vandu-service target)");
    TempDir data;
    CVanduService service(data.Path());
    ASSERT_TRUE(service.Running());
    CServiceHome home(service.Home());
    ASSERT_EQ(service.Admin({"add-subscriber", kBob, kBobPassword, "Bob", "Ray", "bob@example.org"}), 0);
    ASSERT_EQ(service.Admin({"add-subscriber", kAnn, kAnnPassword, "Ann", "Lee", "ann@example.org"}), 0);

    CDialogRig rig(kBob, kBobPassword);
    CConnectingDialog connecting;
    SAgentServices services = rig.Services(&connecting);
    const CStoredMessage from(1, "1/2/2000", "3:04:05", 0, "Hi (from: Ann Lee)", 3, "", "", "", kAnn, "Ann", "Lee");
    CSendMessageDialog dialog(services);
    dialog.PresetReply(from);
    dialog.show();
    EXPECT_EQ(dialog.RecipientField()->text(), kAnn);
    EXPECT_EQ(dialog.NameLine()->text(), "Ann Lee");
    const std::string text = "Lunch at 12?  Tom & Jerry, a=b&c=d 100% sure";
    dialog.MessageField()->setPlainText(QString::fromStdString(text));
    dialog.SendButton()->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(connecting.isVisible());
    ASSERT_EQ(rig.Prompts.Boxes().size(), 1u);
    EXPECT_EQ(rig.Prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Information);
    EXPECT_FALSE(rig.Prompts.Boxes()[0].Text.empty());

    CJobRig ann(kAnn, kAnnPassword);
    CServiceJob poll;
    RunJob(poll, ann, REQUEST_POLL);
    ASSERT_EQ(ann.Store->Count(), 1);
    EXPECT_EQ(ann.Store->MessageAt(0)->Text(), text + " (from: Bob Ray)");
    EXPECT_EQ(ann.Store->MessageAt(0)->SenderVanduID(), kBob);
}

class CPaintCounter : public QWidget {
public:
    int Paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++Paints;
        QPainter(this).fillRect(rect(), Paints % 2 ? Qt::white : Qt::black);
    }
};

// Runs the real connecting box and notes what happened on the screen meanwhile.
class CWatchedRunner : public IConnectingRunner {
public:
    CWatchedRunner(CConnectingDialog& box, CPaintCounter& counter)
        : m_box(box)
        , m_counter(counter)
    {
    }
    void Run(const std::function<void()>& work) override
    {
        QTimer ticker;
        ticker.setInterval(20);
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            BoxSeen = BoxSeen || m_box.isVisible();
            m_counter.update();
        });
        ticker.start();
        const int before = m_counter.Paints;
        m_box.Run(work);
        PaintsDuring = m_counter.Paints - before;
    }
    int PaintsDuring = 0;
    bool BoxSeen = false;

private:
    CConnectingDialog& m_box;
    CPaintCounter& m_counter;
};

// A service that takes the connection and never says a word: the windows go on painting, and the
// box goes away once the client gives up.
TEST(SendMessageDialog, SilentServiceKeepsTheDesktopAlive)
{
    LoopbackServer silent;
    ASSERT_TRUE(silent.Start([&silent](int) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!silent.Stopping() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }));
    CServiceHome home("http://127.0.0.1:" + std::to_string(silent.Port()));
    CDialogRig rig;
    rig.Accounts.AccountClient().SetHeaderWait(200);
    rig.Accounts.AccountClient().SetIdleLimit(1500);
    CPaintCounter counter;
    counter.resize(40, 40);
    counter.show();
    CConnectingDialog connecting;
    CWatchedRunner runner(connecting, counter);
    SAgentServices services = rig.Services(&runner);
    CSendMessageDialog dialog(services);
    dialog.show();
    dialog.RecipientField()->setText(kAnn);
    dialog.MessageField()->setPlainText("anyone there?");

    const auto start = std::chrono::steady_clock::now();
    dialog.SendButton()->click();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(silent.Connections(), 1);
    EXPECT_TRUE(runner.BoxSeen);
    EXPECT_GE(runner.PaintsDuring, 5);
    EXPECT_FALSE(connecting.isVisible());
    EXPECT_LT(elapsed, std::chrono::seconds(30));
    EXPECT_TRUE(rig.Prompts.Boxes().empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    silent.Stop();
}

} // namespace

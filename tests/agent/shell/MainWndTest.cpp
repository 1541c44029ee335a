// The real main window, built in-process on the offscreen platform with recorded seams: what it
// opens, asks, plays and shows for each command, key, click and job outcome.

#include "agent/service/ServiceConfig.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentTray.h"
#include "agent/shell/DialogRunner.h"
#include "agent/shell/PopupMenu.h"
#include "agent/shell/VanduMainWnd.h"
#include "agent/skin/FaceLayout.h"
#include "common/FileDialogs.h"
#include "common/UserPrompts.h"
#include "tests/agent/net/ScriptedHttpServer.h"
#include "tests/agent/service/JobTestSupport.h"
#include "tests/agent/store/StoreFakes.h"
#include "tests/support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

using namespace vandu::test;
namespace commands = vandu::commands;

// Readable failures for lists of window titles.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
namespace face = vandu::face;

namespace {

class CRecordedDialogRunner : public IDialogRunner {
public:
    int Exec(QDialog& dialog) override
    {
        titles.push_back(dialog.windowTitle());
        return answer ? answer(dialog) : QDialog::Rejected;
    }

    std::vector<QString> titles;
    std::function<int(QDialog&)> answer;
};

// Waits for Qt events until the condition holds; false after the limit.
bool WaitUntil(const std::function<bool()>& condition, int limitMs = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// The window's seams, recorded, with its work folder; Make builds and starts the window.
struct SWindowRig {
    std::unique_ptr<CVanduMainWnd> Make()
    {
        const SMainWndSeams seams {Settings, Clock, Player, Prompts, Urls, Files, Dialogs,
            QString::fromStdString(Dir.Path()), QStringLiteral("/opt/vandu"), 0, {}, LcdFaceMemory()};
        auto window = std::make_unique<CVanduMainWnd>(seams);
        window->Start();
        return window;
    }

    std::string LcdFaceMemory() const { return Dir.Path() + "/cache/lcd-face"; }

    TempDir Dir;
    CMemorySettingsBackend Settings;
    CFixedTimeSource Clock {1796000000, 0};
    CRecordingPlayer Player;
    CRecordedPrompts Prompts;
    CRecordedUrlOpener Urls;
    CRecordedFileDialogs Files;
    CRecordedDialogRunner Dialogs;
};

// What a real double-click delivers to a widget: press, release, a second press, the double-click
// and a release, the second press within the double-click interval (QTest sends the double-click
// event alone).
void DoubleClickAsTheDesktopSendsIt(QWidget& widget, QPoint point)
{
    static ulong timestamp = 1000000;
    timestamp += 100000;
    const QPoint global = widget.mapToGlobal(point);
    auto send = [&](QEvent::Type type, Qt::MouseButtons buttons, ulong at) {
        QMouseEvent event(type, point, global, Qt::LeftButton, buttons, Qt::NoModifier);
        event.setTimestamp(at);
        QApplication::sendEvent(&widget, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, timestamp);
    send(QEvent::MouseButtonRelease, Qt::NoButton, timestamp + 60);
    send(QEvent::MouseButtonPress, Qt::LeftButton, timestamp + 120);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, timestamp + 120);
    send(QEvent::MouseButtonRelease, Qt::NoButton, timestamp + 180);
}

// The window's seams, recorded, and short names for them; the window is made by each fixture.
class WindowFixture : public ::testing::Test {
protected:
    SWindowRig m_rig;
    TempDir& m_dir = m_rig.Dir;
    CMemorySettingsBackend& m_settings = m_rig.Settings;
    CRecordingPlayer& m_player = m_rig.Player;
    CRecordedPrompts& m_prompts = m_rig.Prompts;
    CRecordedUrlOpener& m_urls = m_rig.Urls;
    CRecordedDialogRunner& m_dialogs = m_rig.Dialogs;
    std::unique_ptr<CVanduMainWnd> m_window;
};

class MainWndTest : public WindowFixture {
protected:
    // Every request gets an empty 200 answer: no messages, no sponsor, no vendor.
    MainWndTest()
        : m_server(ScriptedHttpServer::Script {"HTTP/1.0 200 OK\r\n\r\n"})
    {
        const std::string home = "http://127.0.0.1:" + m_server.PortText();
        setenv(kServiceHomeVariable, home.c_str(), 1);
        m_settings.WriteString("VanduID", "5551234567");
        m_settings.WriteString("Channel", "%~(}"); // "1234", scrambled as the store keeps it
        m_settings.WriteInt("AskVanduID", 0);
        m_settings.WriteInt("AudioType", 1);
    }
    ~MainWndTest() override
    {
        // The window goes before the server it talks to.
        m_window.reset();
        unsetenv(kServiceHomeVariable);
    }

    CVanduMainWnd& Window()
    {
        if (!m_window) {
            m_window = m_rig.Make();
            m_window->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
            // The first cycle starts after the first frame and its answers arrive; from then on only what
            // a test does changes anything.
            EXPECT_TRUE(
                WaitUntil([this] { return m_window->IsStartFinished() && !m_window->Requests().AnyJobRunning(); }));
            QApplication::processEvents();
        }
        return *m_window;
    }

    void AddMessage(int type, const std::string& sender = {})
    {
        Window().Store().AddDownloadedMessage(
            "12/7/2026", "18:4:5", type, "5145550123", "Ann Lee", "Hello there", "", sender, "Ann", "Lee");
    }

    std::vector<std::string> OpenedSince(size_t start) const
    {
        return {m_urls.Opened().begin() + static_cast<long>(start), m_urls.Opened().end()};
    }

    ScriptedHttpServer m_server;
};

TEST_F(MainWndTest, StartRecordsTheFirstRunMakesAPrivateFolderAndPlacesTheWindow)
{
    CVanduMainWnd& window = Window();
    EXPECT_EQ(m_settings.ReadInt("FirstTime"), 0);
    EXPECT_EQ(m_settings.ReadString("InstallDir"), "/opt/vandu");
    struct stat info { };
    ASSERT_EQ(stat((m_dir.Path() + "/msg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(window.pos(), QPoint(100, 100));
    EXPECT_EQ(window.size(), QSize(234, 169));
}

TEST_F(MainWndTest, TheFirstCycleWaitsForTheFirstFrameOrRunsAtOnceWhenHidden)
{
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "hidden" : "shown");
        const int before = m_server.Connections();
        const std::unique_ptr<CVanduMainWnd> window = m_rig.Make();
        // Nothing has gone to the service while the window was built.
        EXPECT_FALSE(window->IsStartFinished());
        EXPECT_FALSE(window->Requests().AnyJobRunning());
        if (hidden) {
            window->hide();
        } else {
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        }
        EXPECT_TRUE(WaitUntil([&] { return window->IsStartFinished() && !window->Requests().AnyJobRunning(); }));
        EXPECT_GT(m_server.Connections(), before);
        EXPECT_TRUE(window->Requests().Connection().IsOnline());
    }
}

TEST_F(MainWndTest, TheLcdStartsWithTheRememberedFaceAndTakesFontconfigsOnceShown)
{
    const auto matched = vandu::lcd::MatchFace(vandu::lcd::kLayoutFamily);
    const auto other = vandu::lcd::MatchFace("Liberation Mono");
    ASSERT_TRUE(matched && other);
    ASSERT_NE(*matched, *other);
    ::mkdir((m_dir.Path() + "/cache").c_str(), 0700);
    const std::string notAFont = m_dir.Path() + "/cache/not-a-font";
    std::ofstream(notAFont) << "no face in here\n";
    struct Row {
        const char* name;
        std::string remembered;
        SLcdFaceFile atStart;
    };
    const Row rows[] = {
        // A face installed or removed since the last start shows once the window is up.
        {"another face remembered", other->path + "\n0\n", *other},
        // A remembered file that holds no face is not drawn with at all.
        {"remembered file is no font", notAFont + "\n0\n", *matched},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::ofstream(m_rig.LcdFaceMemory()) << row.remembered;
        const std::unique_ptr<CVanduMainWnd> window = m_rig.Make();
        EXPECT_EQ(window->Renderer().Face(), row.atStart);
        EXPECT_FALSE(window->Renderer().LargeFont().IsNull());
        const QImage atStart = window->Renderer().Image().copy();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_TRUE(WaitUntil([&] { return window->IsStartFinished() && !window->Requests().AnyJobRunning(); }));
        EXPECT_EQ(window->Renderer().Face(), *matched);
        EXPECT_EQ(window->Renderer().LargeFont().Family(), "Liberation Sans");
        if (row.atStart != *matched) {
            // Lettered again in the face now used.
            EXPECT_NE(window->Renderer().Image(), atStart);
        }
    }
}

TEST_F(MainWndTest, AWindowStoredOffEveryScreenComesBackToTheDefaultCorner)
{
    m_settings.WriteInt("XPos", -99999);
    m_settings.WriteInt("YPos", -99999);
    EXPECT_EQ(Window().pos(), QPoint(100, 100));
    // Only this run is placed: the stored values stay until the window saves its own.
    EXPECT_EQ(m_settings.ReadInt("XPos"), -99999);
}

TEST_F(MainWndTest, MenuEnablingFollowsTheSituationEachTimeItOpens)
{
    CVanduMainWnd& window = Window();
    auto enabled = [&](int id) {
        window.Menu().UpdateEnabling();
        return window.Menu().ActionFor(id)->isEnabled();
    };
    EXPECT_FALSE(enabled(commands::ID_SHOW));
    EXPECT_TRUE(enabled(commands::ID_HIDE_WINDOW));
    EXPECT_FALSE(enabled(commands::ID_DELETE_MESSAGE));
    EXPECT_FALSE(enabled(commands::ID_DELETE_ALL));
    EXPECT_FALSE(enabled(commands::ID_REPLY));

    AddMessage(1);
    EXPECT_TRUE(enabled(commands::ID_DELETE_MESSAGE));
    EXPECT_TRUE(enabled(commands::ID_DELETE_ALL));
    EXPECT_FALSE(enabled(commands::ID_REPLY)) << "a call from a phone has no sender to reply to";

    AddMessage(3, "5145550111");
    window.OnCommand(face::ID_NEXT);
    EXPECT_TRUE(enabled(commands::ID_REPLY));

    window.HideWindow();
    EXPECT_TRUE(enabled(commands::ID_SHOW));
    EXPECT_FALSE(enabled(commands::ID_HIDE_WINDOW));
    EXPECT_EQ(window.Menu().ActionFor(commands::ID_DELETE_MESSAGE)->text(), QStringLiteral("Delete message...\tDel"));
    EXPECT_EQ(window.Menu().ActionFor(commands::ID_ONLINE_HELP)->text(), QStringLiteral("Online help\tF1"));
}

TEST_F(MainWndTest, PageCommandsKeysAndDoubleClicksOpenTheirAddresses)
{
    CVanduMainWnd& window = Window();
    const std::string cgi = ServiceCgiBase();
    const std::string asp = ServiceAspBase();
    const std::string login = cgi + "MessageManager.dll?OLLogin&VanduID=5551234567&Password=1234";
    struct Row {
        const char* name;
        std::function<void()> act;
        std::string url;
    };
    const Row rows[] = {
        {"menu: access centre", [&] { window.OnCommand(commands::ID_ACCESS_CENTER_PAGE); }, login},
        {"button: access centre", [&] { window.OnCommand(face::ID_ACCESS_CENTER); }, login},
        {"menu: edit profile", [&] { window.OnCommand(commands::ID_EDIT_PROFILE); }, login + "&Destination=OLSettings"},
        {"menu: greeting", [&] { window.OnCommand(commands::ID_RECORD_GREETING); }, login + "&Destination=OLGreeting"},
        {"menu: call forward", [&] { window.OnCommand(commands::ID_CALL_FORWARD); },
            asp + "cfwd-signup1.asp?VanduID=5551234567&Tok=8638"},
        {"key F1", [&] { QTest::keyClick(&window, Qt::Key_F1); }, asp + "help.asp?VanduID=5551234567&Tok=8638"},
        {"button: help", [&] { window.OnCommand(face::ID_HELP); }, asp + "help.asp?VanduID=5551234567&Tok=8638"},
        {"menu: web site", [&] { window.OnCommand(commands::ID_VISIT_WEB_SITE); }, ServiceHomePage()},
        {"double-click: logo corner", [&] { QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(5, 5)); },
            ServiceHomePage()},
        {"double-click: banner without a vendor",
            [&] { QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(100, 125)); }, ServiceHomePage()},
        {"double-click: banner with a vendor",
            [&] {
                window.Store().SetVendorURL("http://vendor.example/");
                QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(100, 125));
            },
            "http://vendor.example/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const size_t before = m_urls.Opened().size();
        row.act();
        EXPECT_EQ(OpenedSince(before), std::vector<std::string> {row.url});
    }
}

TEST_F(MainWndTest, DeletingAsksFirstAndNoKeepsTheMessages)
{
    CVanduMainWnd& window = Window();
    QTest::keyClick(&window, Qt::Key_Delete);
    EXPECT_TRUE(m_prompts.Boxes().empty()) << "nothing to delete, nothing asked";

    AddMessage(2);
    AddMessage(2);
    AddMessage(2);
    QTest::keyClick(&window, Qt::Key_Delete); // unanswered: No
    EXPECT_EQ(window.Store().Count(), 3);
    m_prompts.SetNextAnswer(true);
    QTest::keyClick(&window, Qt::Key_D);
    EXPECT_EQ(window.Store().Count(), 2);
    window.OnCommand(commands::ID_DELETE_ALL); // No
    EXPECT_EQ(window.Store().Count(), 2);
    m_prompts.SetNextAnswer(true);
    window.OnCommand(commands::ID_DELETE_ALL);
    EXPECT_EQ(window.Store().Count(), 0);
    EXPECT_EQ(m_prompts.Shown(),
        (std::vector<std::string> {"Do you want to delete the current message?",
            "Do you want to delete the current message?", "Do you want to delete all messages?",
            "Do you want to delete all messages?"}));
}

TEST_F(MainWndTest, TrayTooltipCountsUnreadAndTheIconBlinksOnlyBetweenRequests)
{
    CVanduMainWnd& window = Window();
    window.UpdateTrayIcon();
    EXPECT_EQ(window.Tray().Tooltip(), QStringLiteral("Sorry, no new message"));
    EXPECT_EQ(window.Tray().IconId(), face::kTrayOnlineIcon) << "the service answered: online";
    window.BlinkTick();
    EXPECT_EQ(window.Tray().IconId(), face::kTrayOnlineIcon);

    AddMessage(1);
    window.UpdateTrayIcon();
    EXPECT_EQ(window.Tray().Tooltip(), QStringLiteral("1 new message"));
    AddMessage(1);
    window.UpdateTrayIcon();
    EXPECT_EQ(window.Tray().Tooltip(), QStringLiteral("2 new messages"));
    std::vector<int> icons;
    for (int tick = 0; tick < 3; ++tick) {
        window.BlinkTick();
        icons.push_back(window.Tray().IconId());
    }
    EXPECT_EQ(icons, (std::vector<int> {face::kTrayBlinkIcon1, face::kTrayBlinkIcon0, face::kTrayBlinkIcon1}));
    window.UpdateTrayIcon();
    EXPECT_EQ(window.Tray().IconId(), face::kTrayOnlineIcon);
}

TEST_F(MainWndTest, BlinkingPausesWhileAPollIsOutstanding)
{
    ScriptedHttpServer silent(ScriptedHttpServer::Script {"", 5000});
    CVanduMainWnd& window = Window();
    AddMessage(1);
    setenv(kServiceHomeVariable, ("http://127.0.0.1:" + silent.PortText()).c_str(), 1);
    window.Requests().StartPoll();
    ASSERT_TRUE(window.Requests().RequestInProgress());
    const int icon = window.Tray().IconId();
    window.BlinkTick();
    window.BlinkTick();
    EXPECT_EQ(window.Tray().IconId(), icon);
    silent.Stop();
    ASSERT_TRUE(WaitUntil([&] { return !window.Requests().RequestInProgress(); }));
    window.BlinkTick();
    EXPECT_EQ(window.Tray().IconId(), face::kTrayBlinkIcon1);
}

TEST_F(MainWndTest, NewMessageAlertFollowsTheSettings)
{
    TempDir waves;
    const std::string wave = waves.Path() + "/ring.wav";
    WriteFile(wave, "RIFF");
    struct Row {
        const char* name;
        int bringUp;
        int beep;
        std::string wavePath;
        int automaticPlay;
        bool visibleAfter;
        std::vector<std::string> sounds;
    };
    const Row rows[] = {
        {"defaults", 1, 1, "", 0, true, {"builtin:171"}},
        {"own wave", 1, 1, wave, 0, true, {"file:" + wave}},
        {"missing wave", 1, 1, waves.Path() + "/gone.wav", 0, true, {"builtin:171"}},
        {"quiet, stays hidden", 0, 0, "", 0, false, {}},
        {"automatic play", 0, 1, "", 1, false, {"builtin:171", "file:" + m_dir.Path() + "/msg/v.wav"}},
    };
    CVanduMainWnd& window = Window();
    window.Store().AddDownloadedMessage("12/7/2026", "18:4:5", 1, "5145550123", "Ann Lee", "", "v.wav", "", "", "");
    WriteFile(m_dir.Path() + "/msg/v.wav", "RIFF");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_settings.WriteInt("BringUpNewMsg", row.bringUp);
        m_settings.WriteInt("Beep", row.beep);
        m_settings.WriteString("WaveNewMsg", row.wavePath);
        m_settings.WriteInt("AutomaticPlay", row.automaticPlay);
        window.HideWindow();
        m_player.calls.clear();
        window.NewMessageAlert();
        EXPECT_EQ(window.isVisible(), row.visibleAfter);
        std::vector<std::string> sounds;
        for (const std::string& call : m_player.calls) {
            if (call != "stop") {
                sounds.push_back(call);
            }
        }
        EXPECT_EQ(sounds, row.sounds);
        EXPECT_EQ(window.Tray().Tooltip(), QStringLiteral("1 new message"));
    }
}

TEST_F(MainWndTest, ALeftClickOnTheLcdPlaysOnceEvenWhenItIsADoubleClick)
{
    CVanduMainWnd& window = Window();
    window.Store().AddDownloadedMessage("12/7/2026", "18:4:5", 1, "5145550123", "Ann Lee", "", "v.wav", "", "", "");
    WriteFile(m_dir.Path() + "/msg/v.wav", "RIFF");
    window.Store().RefreshStatus();
    const QPoint lcd(100, 90);
    // The first click takes the counts away and shows the message; it plays nothing yet.
    QTest::mouseClick(&window, Qt::LeftButton, {}, lcd);
    EXPECT_TRUE(m_player.calls.empty());
    DoubleClickAsTheDesktopSendsIt(window, lcd);
    EXPECT_EQ(m_player.calls, std::vector<std::string> {"file:" + m_dir.Path() + "/msg/v.wav"});
    EXPECT_EQ(window.Store().UnreadCount(), 0);
}

TEST_F(MainWndTest, TooltipsOfTheBannerAndTheLogoCorner)
{
    CVanduMainWnd& window = Window();
    const QString host = QString::fromStdString(ServiceHostName());
    EXPECT_EQ(window.TooltipAt(QPoint(5, 5)), QStringLiteral("Double-click here to visit ") + host);
    EXPECT_EQ(window.TooltipAt(QPoint(100, 125)), QStringLiteral("Visit ") + host);
    window.Store().SetVendorDesc(std::string(90, 'v'));
    EXPECT_EQ(window.TooltipAt(QPoint(100, 125)), QString(79, QLatin1Char('v')));
    EXPECT_TRUE(window.TooltipAt(QPoint(100, 90)).isEmpty());
}

TEST_F(MainWndTest, ButtonsAndTheLcdSpeakToScreenReaders)
{
    CVanduMainWnd& window = Window();
    QStringList names;
    for (CSkinButton* button : window.findChildren<CSkinButton*>()) {
        if (!button->accessibleName().isEmpty()) {
            names << button->accessibleName();
        }
    }
    for (const char* tip : {"Previous message", "Next message", "Play voice message", "Stop voice message",
             "Hide Vandu", "Delete current message", "Show menu", "Access Vandu center", "Help"}) {
        EXPECT_TRUE(names.contains(QString::fromLatin1(tip))) << tip;
    }
    // A screen reader's press is a click.
    for (CSkinButton* button : window.findChildren<CSkinButton*>()) {
        if (button->accessibleName() == QStringLiteral("Hide Vandu")) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
            ASSERT_NE(face, nullptr);
            ASSERT_NE(face->actionInterface(), nullptr);
            EXPECT_EQ(face->role(), QAccessible::Button);
            face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
    }
    EXPECT_FALSE(window.isVisible());
    window.ShowAndActivate();
    AddMessage(2);
    window.Store().RefreshStatus();
    window.Store().Redraw();
    EXPECT_TRUE(window.LcdText().contains(QStringLiteral("Calls: 1 new"))) << window.LcdText().toStdString();
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(100, 90));
    EXPECT_TRUE(window.LcdText().contains(QStringLiteral("Hello there"))) << window.LcdText().toStdString();
}

TEST_F(MainWndTest, RightClickAndTheMenuButtonOpenTheMenu)
{
    CVanduMainWnd& window = Window();
    QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(60, 20));
    EXPECT_TRUE(window.Menu().isVisible());
    window.Menu().hide();
    window.OnCommand(face::ID_MENU);
    EXPECT_TRUE(window.Menu().isVisible());
    EXPECT_EQ(window.Menu().pos(), window.pos() + QPoint(130, 30));
    window.Menu().hide();
}

TEST_F(MainWndTest, CommandsOpenTheirDialogs)
{
    CVanduMainWnd& window = Window();
    struct Row {
        const char* name;
        std::function<void()> act;
        std::vector<QString> titles;
    };
    auto command = [&](int id) {
        window.OnCommand(id);
        QApplication::processEvents();
    };
    const Row rows[] = {
        {"About", [&] { command(commands::ID_ABOUT); }, {"About Vandu"}},
        {"sponsor", [&] { command(commands::ID_VIEW_INFORMATION); }, {"Vandu Information"}},
        {"send", [&] { command(commands::ID_SEND_MESSAGE); }, {"Send a message"}},
        {"properties", [&] { command(commands::ID_PROPERTIES); }, {"Vandu Properties"}},
        {"reply without a sender", [&] { command(commands::ID_REPLY); }, {}},
        {"detail without messages", [&] { QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(100, 90)); }, {}},
        {"reply to a text",
            [&] {
                AddMessage(3, "5145550111");
                command(commands::ID_REPLY);
            },
            {"Send a message"}},
        {"detail", [&] { QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(100, 90)); }, {"Detail"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_dialogs.titles.clear();
        row.act();
        EXPECT_EQ(m_dialogs.titles, row.titles);
    }
}

TEST_F(MainWndTest, FirstShowAsksForTheIdWhenNoneIsStoredOrThePasswordIsNotKept)
{
    struct Row {
        const char* name;
        std::string id;
        int askId;
        std::vector<QString> titles;
    };
    const Row rows[] = {
        {"ID and kept password", "5551234567", 0, {}},
        {"password not kept", "5551234567", 1, {"Vandu Properties"}},
        {"no ID", "", 0, {"Wizard", "Vandu Properties"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_window.reset();
        m_dialogs.titles.clear();
        m_settings.WriteString("VanduID", row.id);
        m_settings.WriteInt("AskVanduID", row.askId);
        CVanduMainWnd& window = Window();
        ASSERT_TRUE(WaitUntil([&] { return !window.IsFirstShowPending(); }));
        EXPECT_EQ(m_dialogs.titles, row.titles);
    }
}

TEST(AgentTrayTest, EveryTrayIconIsDrawnAtEachSizeANotificationAreaAsksFor)
{
    for (int id : {face::kTrayOnlineIcon, face::kTrayOfflineIcon, face::kTrayBlinkIcon0, face::kTrayBlinkIcon1}) {
        const QIcon icon = CAgentTray::IconFor(id);
        for (int size : {16, 22, 24, 32, 48}) {
            SCOPED_TRACE(std::to_string(id) + " at " + std::to_string(size));
            // Drawn at that size, not scaled from another: at a ratio of 1 and of 2.
            EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
            EXPECT_TRUE(icon.availableSizes().contains(QSize(2 * size, 2 * size)));
            const QPixmap sharp = icon.pixmap(QSize(size, size), 2.0);
            EXPECT_EQ(sharp.size(), QSize(2 * size, 2 * size));
            EXPECT_EQ(sharp.toImage(),
                QImage(QStringLiteral(":/icons/%1-%2.png").arg(id).arg(2 * size))
                    .convertToFormat(sharp.toImage().format()));
        }
    }
}

TEST_F(MainWndTest, ExitSavesTheStateAndRemovesTheTrayIcon)
{
    CVanduMainWnd& window = Window();
    window.move(140, 150);
    window.Menu().ActionFor(commands::ID_EXIT)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(m_settings.ReadInt("XPos"), 140);
    EXPECT_EQ(m_settings.ReadInt("YPos"), 150);
    EXPECT_EQ(m_settings.ReadInt("Hidden"), 0);
    EXPECT_FALSE(window.Tray().IsAdded());
    EXPECT_TRUE(PathExists(m_dir.Path() + "/msg/5551234567.vdm"));
}

} // namespace

namespace {

// The window against the reference service: what each job's completion does on the screen.
class MainWndServiceTest : public WindowFixture {
protected:
    void SetUp() override
    {
        m_service = std::make_unique<CVanduService>(m_data.Path());
        VANDU_REQUIRE_PEER(m_service->Running(), "vandu-service");
        setenv(kServiceHomeVariable, m_service->Home().c_str(), 1);
        ASSERT_EQ(m_service->Admin({"add-subscriber", "5551230000", "4321", "Bob", "Stone", "bob@example.com"}), 0);
        m_settings.WriteString("VanduID", "5551230000");
        m_settings.WriteString("Channel", "~})$"); // "4321"
        m_settings.WriteInt("AskVanduID", 0);
        m_settings.WriteInt("AudioType", 1);
    }
    void TearDown() override
    {
        m_window.reset();
        unsetenv(kServiceHomeVariable);
    }

    CVanduMainWnd& Window()
    {
        m_window = m_rig.Make();
        m_window->hide();
        return *m_window;
    }

    bool CycleDone()
    {
        return WaitUntil([this] { return m_window->IsStartFinished() && !m_window->Requests().AnyJobRunning(); });
    }

    TempDir m_data;
    std::unique_ptr<CVanduService> m_service;
};

TEST_F(MainWndServiceTest, ACycleBringsMessagesTheSponsorTheVendorAndTheNames)
{
    TempDir pictures;
    const std::string sponsor = pictures.Path() + "/s.bmp";
    const std::string vendor = pictures.Path() + "/v.bmp";
    QImage(300, 100, QImage::Format_Indexed8).save(QString::fromStdString(sponsor));
    QImage(165, 16, QImage::Format_Indexed8).save(QString::fromStdString(vendor));
    ASSERT_EQ(m_service->Admin({"set-sponsor", "S1", "Shoes", "http://shoes.example/", sponsor}), 0);
    ASSERT_EQ(m_service->Admin({"set-vendor", "Shop around the corner", "http://shop.example/", vendor}), 0);
    ASSERT_EQ(m_service->Admin({"deposit-text", "5551230000", "Lunch at noon?", "--no-wake"}), 0);
    QSize sponsorDialog;
    m_dialogs.answer = [&](QDialog& dialog) {
        sponsorDialog = dialog.size();
        return QDialog::Rejected;
    };

    CVanduMainWnd& window = Window();
    ASSERT_TRUE(CycleDone());
    // Each job's completion arrives as an event of its own; the message is in the store before
    // the poll's completion raises the alert.
    EXPECT_TRUE(WaitUntil([&] {
        return window.Store().Count() == 1 && !m_player.calls.empty() && !m_dialogs.titles.empty()
            && window.Account().GetFirstName() == "Bob"
            && window.TooltipAt(QPoint(100, 125)) == QStringLiteral("Shop around the corner");
    }));
    // Messages: the alert brought the window up and chimed.
    EXPECT_EQ(window.Store().Count(), 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(m_player.calls, std::vector<std::string> {"builtin:171"});
    // Sponsor: the new picture is shown at once, in a dialog sized to it.
    EXPECT_EQ(m_dialogs.titles, std::vector<QString> {"Vandu Information"});
    EXPECT_EQ(sponsorDialog, QSize(330, 170));
    // Vendor: the banner tells what it is.
    EXPECT_EQ(window.TooltipAt(QPoint(100, 125)), QStringLiteral("Shop around the corner"));
    // User info: the names reached the title line; nothing was refused.
    EXPECT_TRUE(m_prompts.Boxes().empty());
    EXPECT_EQ(window.Account().GetFirstName(), "Bob");
}

TEST_F(MainWndServiceTest, ARefusedPasswordIsToldInABoxAndOnTheLcd)
{
    m_settings.WriteString("Channel", "%~(}"); // "1234", not Bob's
    CVanduMainWnd& window = Window();
    ASSERT_TRUE(CycleDone());
    ASSERT_TRUE(WaitUntil([&] { return !m_prompts.Boxes().empty(); }));
    EXPECT_EQ(m_prompts.Shown(),
        std::vector<std::string> {"Vandu ID and/or Password Invalid.\nPlease change your settings."});
    EXPECT_TRUE(window.Store().StatusOverride());
    EXPECT_EQ(window.Store().StatusLine(), "Right click and select Properties to enter your ID and Password.");
}

} // namespace

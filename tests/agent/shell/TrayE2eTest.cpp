// The built agent on a desktop as a user has it: an X server, a session bus with a notification
// area (a StatusNotifierItem host), a sound server with a null sink, and the reference service on
// loopback. A deposited voice message wakes the agent, which downloads it, comes up, chimes, and
// counts it in the tray; its menu, opened through the tray, runs "About..." and "Exit"; F1 starts
// the configured browser with the help page.

#include "tests/agent/shell/AgentProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

using namespace vandu::test;

namespace {

constexpr const char* kId = "5551230000";
constexpr const char* kScrambledPassword = "~})$"; // "4321" as the settings store keeps it

// A child process with extra environment, its output in a file; ended with SIGTERM (then SIGKILL).
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& output)
    {
        m_pid = fork();
        if (m_pid == 0) {
            for (const std::string& entry : env) {
                putenv(strdup(entry.c_str()));
            }
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            dup2(fd, 2);
            std::vector<char*> args;
            for (const std::string& arg : argv) {
                args.push_back(const_cast<char*>(arg.c_str()));
            }
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
    }
    ~Child() { Stop(SIGTERM); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void Stop(int signalNumber)
    {
        if (m_pid <= 0) {
            return;
        }
        kill(m_pid, signalNumber);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

int Count(const std::string& text, const std::string& what)
{
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// Loudest 100 ms of 8 kHz s16le mono, in dBFS.
double PeakDbfs(const std::string& pcm)
{
    double peak = -200.0;
    const size_t window = 1600;
    for (size_t from = 0; from + window <= pcm.size(); from += window) {
        double sum = 0;
        for (size_t i = from; i < from + window; i += 2) {
            const auto s = static_cast<int16_t>(static_cast<uint8_t>(pcm[i]) | (static_cast<uint8_t>(pcm[i + 1]) << 8));
            sum += static_cast<double>(s) * s;
        }
        const double rms = std::sqrt(sum / (window / 2));
        if (rms > 0) {
            peak = std::max(peak, 20.0 * std::log10(rms / 32768.0));
        }
    }
    return peak;
}

class TrayE2eTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VANDU_REQUIRE_PEER(m_x11.Start(), "Xvfb");
        for (const char* tool : {"dbus-daemon", "gdbus", "xdotool", "xwininfo", "pulseaudio", "parec", "pactl"}) {
            VANDU_REQUIRE_PEER(!FindProgram(tool).empty(), tool);
        }
        VANDU_REQUIRE_PEER(std::system("/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null") == 0, "python3-dbus");
        StartBus();
        StartTrayHost();
        StartSoundServer();
        StartService();
    }

    std::vector<std::string> DesktopEnv() const
    {
        return {"DISPLAY=" + m_x11.Display(), "DBUS_SESSION_BUS_ADDRESS=" + m_bus, "PULSE_SERVER=unix:" + m_pulseSocket,
            "PULSE_RUNTIME_PATH=" + m_dir.Path(), "HOME=" + m_dir.Path()};
    }

    // Runs a command with the desktop's environment; what it printed.
    std::string Run(const std::string& command) const
    {
        std::string line;
        for (const std::string& entry : DesktopEnv()) {
            line += entry + " ";
        }
        return RunCapture("env " + line + command + " 2>&1");
    }

    void StartBus()
    {
        const std::string out = RunCapture("dbus-daemon --session --fork --print-address=1 --print-pid=1");
        const size_t newline = out.find('\n');
        ASSERT_NE(newline, std::string::npos) << out;
        m_bus = out.substr(0, newline);
        m_busPid = std::atoi(out.c_str() + newline + 1);
        ASSERT_GT(m_busPid, 0) << out;
    }

    void StartTrayHost()
    {
        m_hostLog = m_dir.File("host.log");
        m_host = std::make_unique<Child>(
            std::vector<std::string> {"/usr/bin/python3", std::string(VANDU_TEST_DATA_DIR) + "/tray/sni_host.py"},
            DesktopEnv(), m_hostLog);
        ASSERT_TRUE(
            WaitFor([&] { return ReadFile(m_hostLog).find("ready") != std::string::npos; }, std::chrono::seconds(10)))
            << ReadFile(m_hostLog);
    }

    void StartSoundServer()
    {
        m_pulseSocket = m_dir.File("pulse");
        m_pulse = std::make_unique<Child>(
            std::vector<std::string> {FindProgram("pulseaudio"), "--daemonize=no", "-n", "--exit-idle-time=-1",
                "--disable-shm=yes", "--log-level=error", "--load=module-null-sink sink_name=vandu_null",
                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_pulseSocket},
            DesktopEnv(), m_dir.File("pulse.log"));
        ASSERT_TRUE(WaitFor(
            [&] { return Run("pactl info").find("Server Name") != std::string::npos; }, std::chrono::seconds(10)));
    }

    void StartService()
    {
        m_db = m_dir.File("service.db");
        m_port = FreeLoopbackPort();
        m_wakeupPort = FreeLoopbackPort();
        ASSERT_EQ(std::system((std::string(VANDU_SERVICE_PATH) + " add-subscriber " + kId
                      + " 4321 Ann Lee ann@example.com --db " + m_db + " >/dev/null")
                                  .c_str()),
            0);
        m_service = std::make_unique<Child>(
            std::vector<std::string> {VANDU_SERVICE_PATH, "serve", "--listen", "127.0.0.1:" + std::to_string(m_port),
                "--wakeup-port", std::to_string(m_wakeupPort), "--db", m_db},
            std::vector<std::string> {}, m_dir.File("service.log"));
        ASSERT_TRUE(WaitForPort("127.0.0.1", m_port, 10000));
    }

    void StartAgent(AgentProcess& agent)
    {
        for (const std::string& entry : DesktopEnv()) {
            const size_t equals = entry.find('=');
            agent.SetEnv(entry.substr(0, equals), entry.substr(equals + 1));
        }
        agent.SetEnv("QT_QPA_PLATFORM", "xcb");
        agent.SetEnv("VANDU_SERVICE", "http://127.0.0.1:" + std::to_string(m_port));
        agent.SetEnv("VANDU_WAKEUP_PORT", std::to_string(m_wakeupPort));
        ASSERT_TRUE(agent.Start());
        ASSERT_TRUE(agent.WaitReady());
    }

    // The item the agent registered with the host, "busname".
    std::string Item() const
    {
        const std::string log = ReadFile(m_hostLog);
        const size_t at = log.find("item ");
        if (at == std::string::npos) {
            return {};
        }
        return log.substr(at + 5, log.find(' ', at + 5) - at - 5);
    }

    std::string ItemProperty(const std::string& name) const
    {
        return Run("gdbus call --session --dest " + Item()
            + " --object-path /StatusNotifierItem --method org.freedesktop.DBus.Properties.Get"
              " org.kde.StatusNotifierItem "
            + name);
    }

    bool Viewable(const std::string& windowName) const
    {
        return Run("xwininfo -name '" + windowName + "'").find("IsViewable") != std::string::npos;
    }

    ~TrayE2eTest() override
    {
        m_host.reset();
        if (m_busPid > 0) {
            kill(m_busPid, SIGTERM);
        }
    }

    TempDir m_dir;
    XvfbServer m_x11;
    std::string m_bus;
    int m_busPid = -1;
    std::string m_hostLog;
    std::string m_pulseSocket;
    std::string m_db;
    int m_port = 0;
    int m_wakeupPort = 0;
    std::unique_ptr<Child> m_host;
    std::unique_ptr<Child> m_pulse;
    std::unique_ptr<Child> m_service;
};

TEST_F(TrayE2eTest, AVoiceMessageWakesRaisesChimesAndCountsInTheTray)
{
    const std::string browserLog = m_dir.File("browser.log");
    const std::string browser = m_dir.File("browser.sh");
    WriteFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + browserLog + "'\n");
    chmod(browser.c_str(), 0755);
    AgentSandbox sandbox;
    sandbox.WriteSettings({{"VanduID", kId}, {"Channel", kScrambledPassword}, {"Hidden", "1"}, {"WebBrowser", browser},
                              {"AudioType", "1"}},
        0600);
    AgentProcess agent(sandbox);
    StartAgent(agent);

    // A hidden start with a notification area stays hidden; the tray counts nothing yet.
    ASSERT_TRUE(WaitFor([&] { return !Item().empty(); }, std::chrono::seconds(10))) << ReadFile(m_hostLog);
    ASSERT_TRUE(WaitFor([&] { return ItemProperty("ToolTip").find("Sorry, no new message") != std::string::npos; },
        std::chrono::seconds(10)))
        << ItemProperty("ToolTip");
    EXPECT_FALSE(Viewable("Vandu"));

    const std::string recording = m_dir.File("monitor.raw");
    Child recorder({FindProgram("parec"), "--latency-msec=20", "-d", "vandu_null.monitor", "--format=s16le",
                       "--channels=1", "--rate=8000", "--raw", "--file-format=raw", recording},
        DesktopEnv(), m_dir.File("parec.log"));
    const std::string tone = m_dir.File("tone.wav");
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 -b 16 " + tone + " synth 1 sine 440 2>/dev/null").c_str()), 0);
    ASSERT_EQ(
        std::system((std::string(VANDU_SERVICE_PATH) + " deposit-voice " + kId + " " + tone
            + " --caller-id 5145550123 --wakeup-port " + std::to_string(m_wakeupPort) + " --db " + m_db + " >/dev/null")
                        .c_str()),
        0);

    const std::string messages = sandbox.ProgramDir() + "/msg/" + kId + ".vdm";
    ASSERT_TRUE(
        WaitFor([&] { return ReadFile(messages).find("Count=1") != std::string::npos; }, std::chrono::seconds(15)))
        << ReadFile(messages);
    EXPECT_TRUE(WaitFor([&] { return Viewable("Vandu"); }, std::chrono::seconds(10))) << "the alert raises the window";
    EXPECT_TRUE(WaitFor(
        [&] { return ItemProperty("ToolTip").find("'1 new message'") != std::string::npos; }, std::chrono::seconds(10)))
        << ItemProperty("ToolTip");
    // The chime reached the sound server.
    EXPECT_TRUE(WaitFor([&] { return PeakDbfs(ReadFile(recording)) > -30.0; }, std::chrono::seconds(10)))
        << PeakDbfs(ReadFile(recording));
    recorder.Stop(SIGINT);
    // Blinking: the icon changes every second while the message is unread.
    const int icons = Count(ReadFile(m_hostLog), "newicon");
    EXPECT_TRUE(WaitFor([&] { return Count(ReadFile(m_hostLog), "newicon") >= icons + 2; }, std::chrono::seconds(10)));

    // The tray's activation hides the window and shows it again.
    Run("gdbus call --session --dest " + Item()
        + " --object-path /StatusNotifierItem --method "
          "org.kde.StatusNotifierItem.Activate 0 0");
    EXPECT_TRUE(WaitFor([&] { return !Viewable("Vandu"); }, std::chrono::seconds(5)));
    Run("gdbus call --session --dest " + Item()
        + " --object-path /StatusNotifierItem --method "
          "org.kde.StatusNotifierItem.Activate 0 0");
    EXPECT_TRUE(WaitFor([&] { return Viewable("Vandu"); }, std::chrono::seconds(5)));

    // F1 on the window starts the configured browser with the help page.
    // Keys go through the X server as typed ones (XTEST), to the focused window.
    Run("xdotool search --name '^Vandu$' windowfocus --sync");
    Run("xdotool key F1");
    EXPECT_TRUE(WaitFor(
        [&] { return ReadFile(browserLog).find("help.asp?VanduID=") != std::string::npos; }, std::chrono::seconds(10)))
        << ReadFile(browserLog);
    EXPECT_NE(ReadFile(browserLog).find("help.asp?VanduID=" + std::string(kId) + "&Tok=30247\n"), std::string::npos);

    // The menu, asked for by the tray: "About..." (just above "Exit"), then "Exit".
    auto openMenu = [&] {
        Run("gdbus call --session --dest " + Item()
            + " --object-path /StatusNotifierItem --method "
              "org.kde.StatusNotifierItem.ContextMenu 200 200");
        // The menu is a second visible window of the agent's class, beside the face.
        return WaitFor([&] { return Count(Run("xdotool search --onlyvisible --class VanduClassWindow"), "\n") >= 2; },
            std::chrono::seconds(5));
    };
    ASSERT_TRUE(openMenu());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Run("xdotool key Up Up Return");
    EXPECT_TRUE(WaitFor([&] { return Viewable("About Vandu"); }, std::chrono::seconds(5)));
    Run("xdotool search --name '^About Vandu$' windowfocus --sync");
    Run("xdotool key Return");
    EXPECT_TRUE(WaitFor([&] { return !Viewable("About Vandu"); }, std::chrono::seconds(5)));
    ASSERT_TRUE(openMenu());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Run("xdotool key Up Return");
    EXPECT_EQ(agent.WaitExit(10000), 0);
    EXPECT_EQ(sandbox.Setting("Hidden"), "0");
    EXPECT_EQ(sandbox.Setting("XPos"), "100");
}

// A first start with no settings at all: the wizard signs the user up at the service by keyboard,
// the call-forward page opens in the desktop's browser, and the first poll brings the new
// subscriber's welcome text.
TEST_F(TrayE2eTest, AFirstStartSignsUpThroughTheWizardAndFetchesTheWelcomeText)
{
    const std::string browserLog = m_dir.File("desktop-browser.log");
    const std::string browser = m_dir.File("desktop-browser.sh");
    WriteFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + browserLog + "'\n");
    chmod(browser.c_str(), 0755);
    AgentSandbox sandbox;
    AgentProcess agent(sandbox);
    // With no browser set the desktop's opener takes the page; on this bare desktop it uses $BROWSER.
    agent.SetEnv("BROWSER", browser);
    StartAgent(agent);

    auto focusWizard = [&] {
        EXPECT_TRUE(WaitFor([&] { return Viewable("Wizard"); }, std::chrono::seconds(10)));
        Run("xdotool search --name '^Wizard$' windowfocus --sync");
    };
    focusWizard();
    Run("xdotool key Return"); // "New Vandu ID" is chosen already
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    focusWizard();
    Run("xdotool type 555");
    Run("xdotool key Tab");
    Run("xdotool type 987");
    Run("xdotool key Tab");
    Run("xdotool type 6543");
    Run("xdotool key Return");
    ASSERT_TRUE(WaitFor([&] { return sandbox.Setting("VanduID") == "5559876543"; }, std::chrono::seconds(15)))
        << "the ID was checked with the service and stored";
    focusWizard();
    Run("xdotool type 4321");
    Run("xdotool key Tab");
    Run("xdotool type pat@example.com");
    Run("xdotool key Tab");
    Run("xdotool type Pat");
    Run("xdotool key Tab");
    Run("xdotool type Lee");
    Run("xdotool key Return");
    ASSERT_TRUE(WaitFor([&] { return sandbox.Setting("AskVanduID") == "0"; }, std::chrono::seconds(15)))
        << "the account was created and the password kept";
    focusWizard();
    Run("xdotool key Return"); // how to use: Next
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    focusWizard();
    Run("xdotool key Return"); // confirmation: Finish
    EXPECT_TRUE(WaitFor([&] { return !Viewable("Wizard"); }, std::chrono::seconds(10)));
    EXPECT_TRUE(WaitFor(
        [&] { return ReadFile(browserLog).find("cfwd-signup1.asp?VanduID=5559876543&Tok=30247") != std::string::npos; },
        std::chrono::seconds(10)))
        << ReadFile(browserLog);
    // The password is kept: no Identification page follows the wizard.
    EXPECT_FALSE(Viewable("Vandu Properties"));
    const std::string messages = sandbox.ProgramDir() + "/msg/5559876543.vdm";
    EXPECT_TRUE(WaitFor([&] { return ReadFile(messages).find("Welcome to Vandu, Pat!") != std::string::npos; },
        std::chrono::seconds(20)))
        << ReadFile(messages);
    agent.Signal(SIGTERM);
    EXPECT_EQ(agent.WaitExit(10000), 0);
}

} // namespace

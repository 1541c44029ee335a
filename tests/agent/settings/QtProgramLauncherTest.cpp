// The real launcher: the browser registered with the desktop (xdg-mime over a private XDG setup),
// and a browser script really started from a folder whose name has capitals, which must receive a
// hostile URL as one argument and run nothing of it.

#include "agent/settings/QtProgramLauncher.h"
#include "agent/settings/BrowserLauncher.h"
#include "agent/settings/SettingsStore.h"
#include "common/UserPrompts.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

using namespace vandu::test;

namespace {

// Sets environment variables (null: unset) and puts the old values back on destruction.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::map<std::string, const char*>& values)
    {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
            value ? ::setenv(name.c_str(), value, 1) : ::unsetenv(name.c_str());
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

// A browser that writes its arguments, each ended by a zero byte, to "args" beside itself, in a
// folder whose name has a capital.
std::string WriteRecordingBrowser(const TempDir& dir)
{
    std::filesystem::create_directories(dir.File("Bin"));
    const std::string path = dir.File("Bin/browser");
    WriteFile(path,
        "#!/bin/sh\n"
        "out=\"$(dirname \"$0\")/args\"\n"
        "printf '%s\\0' \"$@\" > \"$out.tmp\"\n"
        "mv \"$out.tmp\" \"$out\"\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

// The arguments the recording browser received, once it has written them (at most 20 s).
std::vector<std::string> WaitForArguments(const TempDir& dir)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!PathExists(dir.File("Bin/args")) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<std::string> arguments;
    const std::string bytes = ReadFile(dir.File("Bin/args"));
    size_t start = 0;
    for (size_t end = bytes.find('\0'); end != std::string::npos; end = bytes.find('\0', start)) {
        arguments.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

class QtProgramLauncherTest : public ::testing::Test {
protected:
    CMemorySettingsBackend m_backend;
    CSettingsStore m_settings {m_backend, [] { return std::pair {1024, 768}; }};
    CQtProgramLauncher m_launcher;
    CRecordedPrompts m_prompts;
    CBrowserLauncher m_browser {m_settings, m_launcher, m_prompts};
};

TEST_F(QtProgramLauncherTest, RegisteredHandlerIsFoundAndStarted)
{
    VANDU_REQUIRE_PEER(!FindProgram("xdg-mime").empty(), "xdg-mime (xdg-utils)");
    TempDir dir;
    const std::string browser = WriteRecordingBrowser(dir);
    for (const char* folder : {"config", "data", "data/applications", "system"}) {
        std::filesystem::create_directories(dir.File(folder));
    }
    WriteFile(
        dir.File("config/mimeapps.list"), "[Default Applications]\nx-scheme-handler/http=vandu-testweb.desktop\n");
    WriteFile(dir.File("data/applications/vandu-testweb.desktop"),
        "[Desktop Entry]\nType=Application\nName=Test web\nExec=" + browser + " --new-window %U\n");
    const std::string config = dir.File("config");
    const std::string data = dir.File("data");
    const std::string system = dir.File("system");
    ScopedEnvironment environment({{"XDG_CONFIG_HOME", config.c_str()}, {"XDG_CONFIG_DIRS", config.c_str()},
        {"XDG_DATA_HOME", data.c_str()}, {"XDG_DATA_DIRS", system.c_str()}, {"XDG_CURRENT_DESKTOP", nullptr},
        {"DESKTOP_SESSION", nullptr}, {"KDE_FULL_SESSION", nullptr}, {"GNOME_DESKTOP_SESSION_ID", nullptr}});

    EXPECT_EQ(m_launcher.RegisteredHttpCommand(), browser + " --new-window");
    // Shown in lower case, started by its real name.
    EXPECT_EQ(m_browser.GetWebBrowser(), CBrowserLauncher::CleanBrowserCommand(browser + " --new-window"));
    m_browser.OpenUrl("http://127.0.0.1:8026/asp/misc/help.asp?VanduID=5551234567&Tok=8638");
    EXPECT_EQ(WaitForArguments(dir),
        (std::vector<std::string> {
            "--new-window", "http://127.0.0.1:8026/asp/misc/help.asp?VanduID=5551234567&Tok=8638"}));
    EXPECT_TRUE(m_prompts.Boxes().empty());
}

TEST_F(QtProgramLauncherTest, HostileUrlArrivesAsOneArgumentAndRunsNothing)
{
    TempDir dir;
    const std::string browser = WriteRecordingBrowser(dir);
    m_settings.SetWebBrowser("  " + browser + "  ");
    const std::string url = "http://127.0.0.1/p?a=1;touch " + dir.File("one") + "&b=$(touch " + dir.File("two")
        + ")&c=`touch " + dir.File("three") + "` 'q' \"r\" | touch " + dir.File("four");

    m_browser.OpenUrl(url);

    EXPECT_EQ(WaitForArguments(dir), (std::vector<std::string> {url}));
    for (const char* marker : {"one", "two", "three", "four"}) {
        EXPECT_FALSE(PathExists(dir.File(marker))) << marker;
    }
    EXPECT_TRUE(m_prompts.Boxes().empty());
}

TEST_F(QtProgramLauncherTest, BrowserThatCannotStartIsReported)
{
    m_settings.SetWebBrowser("/Nonexistent-Vandu/Web Browser");
    m_browser.OpenUrl("http://h/x");
    ASSERT_EQ(m_prompts.Boxes().size(), 1u);
    EXPECT_EQ(m_prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Warning);
    EXPECT_EQ(m_prompts.Boxes()[0].Text, CBrowserLauncher::FailureText("http://h/x", "/nonexistent-vandu/web browser"));
}

} // namespace

// The browser launch decisions: cleaning a browser command, finding the browser, which way a URL
// is opened, what the user is told when the browser cannot start, and reading desktop entries.

#include "agent/settings/BrowserLauncher.h"
#include "agent/settings/DesktopEntry.h"
#include "agent/settings/ProgramLauncher.h"
#include "agent/settings/SettingsStore.h"
#include "common/UserPrompts.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct CleanRow {
    const char* Name;
    std::string Command;
    std::string Expected;
};

TEST(CleanBrowserCommand, Rows)
{
    const CleanRow rows[] = {
        {"blanks around, options after .exe", "  C:\\Tools\\Web.exe -new  ", "c:\\tools\\web.exe"},
        {"quoted registered command", "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" -nohome",
            "c:\\program files\\internet explorer\\iexplore.exe"},
        {"no .exe keeps its arguments", "C:\\Tools\\Browser -x", "c:\\tools\\browser -x"},
        {"linux path with options", "/usr/bin/Firefox-ESR --new-window", "/usr/bin/firefox-esr --new-window"},
        {"linux quoted path with a blank", "\"/opt/My Browser/run\" --x", "/opt/my browser/run  --x"},
        {".exe inside a word", "c:\\x.exel", "c:\\x.exe"},
        {"empty", "", ""},
        {"bytes above ASCII untouched", "/opt/\xC3\x89t\xC3\xA9/B", "/opt/\xC3\x89t\xC3\xA9/b"},
    };
    for (const CleanRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(CBrowserLauncher::CleanBrowserCommand(row.Command), row.Expected);
    }
}

TEST(SplitCommand, LongestLeadingProgramThenArguments)
{
    const std::set<std::string> programs = {"/opt/my browser/run", "/usr/bin/web", "/usr/bin/web two"};
    const auto isProgram = [&programs](const std::string& path) { return programs.count(path) > 0; };
    struct Row {
        const char* Name;
        std::string Command;
        std::string Program;
        std::vector<std::string> Arguments;
    };
    const Row rows[] = {
        {"path with a blank", "/opt/my browser/run  --x", "/opt/my browser/run", {"--x"}},
        {"longest prefix wins", "/usr/bin/web two three", "/usr/bin/web two", {"three"}},
        {"nothing known: first word", "/nowhere/b -a -b", "/nowhere/b", {"-a", "-b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const CBrowserLauncher::SCommand command = CBrowserLauncher::SplitCommand(row.Command, isProgram);
        EXPECT_EQ(command.Program, row.Program);
        EXPECT_EQ(command.Arguments, row.Arguments);
    }
}

class BrowserLauncherTest : public ::testing::Test {
protected:
    CMemorySettingsBackend m_backend;
    CSettingsStore m_settings {m_backend, [] { return std::pair {1024, 768}; }};
    CRecordedProgramLauncher m_launcher;
    CRecordedPrompts m_prompts;
    CBrowserLauncher m_browser {m_settings, m_launcher, m_prompts};
};

TEST_F(BrowserLauncherTest, SettingWinsOverTheRegisteredHandler)
{
    m_launcher.SetRegistered("/usr/bin/firefox-esr --new-window");
    m_settings.SetWebBrowser("  C:\\Tools\\Web.exe -new ");
    EXPECT_EQ(m_browser.GetWebBrowser(), "c:\\tools\\web.exe");
    m_settings.SetWebBrowser(" \t ");
    EXPECT_EQ(m_browser.GetWebBrowser(), "/usr/bin/firefox-esr --new-window");
    m_launcher.SetRegistered("");
    EXPECT_EQ(m_browser.GetWebBrowser(), "");
}

TEST_F(BrowserLauncherTest, BrowserGetsTheWholeUrlAsItsLastArgument)
{
    m_settings.SetWebBrowser("/nowhere/Browser --new-window");
    const std::string url = "http://h/a b;c?x=$(rm -rf ~)&y='q'";
    m_browser.OpenUrl(url);
    ASSERT_EQ(m_launcher.Started().size(), 1u);
    // Started by its real name; only the user is shown the lower-case form.
    EXPECT_EQ(m_launcher.Started()[0].Program, "/nowhere/Browser");
    EXPECT_EQ(m_launcher.Started()[0].Arguments, (std::vector<std::string> {"--new-window", url}));
    EXPECT_TRUE(m_launcher.DesktopOpened().empty());
    EXPECT_TRUE(m_prompts.Boxes().empty());
}

TEST_F(BrowserLauncherTest, IexploreAndNoBrowserGoToTheDesktopOpener)
{
    m_launcher.SetRegistered("\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" -nohome");
    m_browser.OpenUrl("http://a/");
    m_launcher.SetRegistered("");
    m_browser.OpenUrl("http://b/");
    EXPECT_EQ(m_launcher.DesktopOpened(), (std::vector<std::string> {"http://a/", "http://b/"}));
    EXPECT_TRUE(m_launcher.Started().empty());
    EXPECT_TRUE(m_prompts.Boxes().empty());
}

TEST_F(BrowserLauncherTest, FailuresShowTheBoxWithTheLowerCasePath)
{
    m_settings.SetWebBrowser("/Opt/Mixed/Browser");
    m_launcher.SetStartResult(false);
    m_browser.OpenUrl("http://h/p");
    // A failing iexplore-style opener is not examined.
    m_launcher.SetDesktopResult(false);
    m_settings.SetWebBrowser("iexplore");
    m_browser.OpenUrl("http://h/ie");
    // With no browser at all the box comes only when the desktop opener cannot start either.
    m_settings.SetWebBrowser("");
    m_browser.OpenUrl("http://h/none");

    ASSERT_EQ(m_launcher.Started().size(), 1u);
    EXPECT_EQ(m_launcher.Started()[0].Program, "/Opt/Mixed/Browser");
    ASSERT_EQ(m_prompts.Boxes().size(), 2u);
    EXPECT_EQ(m_prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Warning);
    EXPECT_EQ(m_prompts.Boxes()[0].Text,
        "Sorry, unable to open URL: http://h/p\n\nThe current Web Browser (/opt/mixed/browser) does not exist.\n"
        "Please, specify your Web Browser's path in the Properties dialog box.");
    EXPECT_EQ(m_prompts.Boxes()[1].Text,
        "Sorry, unable to open URL: http://h/none\n\nThe current Web Browser () does not exist.\n"
        "Please, specify your Web Browser's path in the Properties dialog box.");
}

TEST(DesktopEntry, ExecCommandRows)
{
    struct Row {
        const char* Name;
        std::string Text;
        std::string Expected;
    };
    const Row rows[] = {
        {"field code dropped", "[Desktop Entry]\nName=W\nExec=/usr/bin/web --new-window %u\n",
            "/usr/bin/web --new-window"},
        {"every code, %% kept", "[Desktop Entry]\nExec=web %U %f %F %i %c %k --p=50%%\n",
            "web" + std::string(7, ' ') + "--p=50%"},
        {"string escapes", "[Desktop Entry]\nExec=/opt/my\\sweb \\\\x\n", "/opt/my web \\x"},
        {"other groups ignored", "[Desktop Action new]\nExec=web --private\n[Desktop Entry]\nTryExec=w\nExec=web %u\n",
            "web"},
        {"comments and CRLF", "# Exec=no\r\n[Desktop Entry]\r\nExec=web %u\r\n", "web"},
        {"no Exec", "[Desktop Entry]\nName=W\n", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(CDesktopEntry::ExecCommand(row.Text), row.Expected);
    }
}

} // namespace

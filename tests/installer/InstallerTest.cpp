#include "installer/Installer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace vandu::install;
using vandu::test::PathExists;
using vandu::test::ReadFile;
using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

// A home with the programs to install in "source" and the entry folders not yet made.
class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(home.File("source"));
        WriteFile(home.File("source/Vandu"), std::string("agent\0program", 13));
        WriteFile(home.File("source/VanduUninstall"), "uninstaller program");
        chmod(home.File("source/Vandu").c_str(), 0755);
        chmod(home.File("source/VanduUninstall").c_str(), 0755);
        request.InstallDir = home.File("data/My Apps \xc3\xbc/Vandu");
        request.SourceDir = home.File("source");
        request.ConnectionType = 0;
        request.Folders = ShellFoldersFrom("", home.Path(), home.File("data"), home.File("config"));
        backend.WriteInt("FirstTime", 0);
        backend.WriteString("VanduID", "5551234567");
    }

    CInstaller::SOutcome Install() { return installer.Install(request, "PNG icon bytes"); }
    std::string Entry(const std::string& folder) const { return ReadFile(folder + "/vandu.desktop"); }

    TempDir home;
    CMemorySettingsBackend backend;
    CSettingsStore settings {backend, [] { return std::pair {1024, 768}; }};
    CRecordedPrompts prompts;
    CRecordedProcessStarter launcher;
    CInstaller installer {settings, prompts, launcher};
    SInstallRequest request;
};

TEST_F(InstallerTest, FirstInstallationCopiesRecordsAndWritesEveryEntry)
{
    const CInstaller::SOutcome outcome = Install();
    EXPECT_FALSE(outcome.QuitRequested);
    EXPECT_TRUE(prompts.Shown().empty());
    const std::string& dir = request.InstallDir;
    EXPECT_EQ(ReadFile(dir + "/Vandu"), std::string("agent\0program", 13));
    EXPECT_EQ(ReadFile(dir + "/VanduUninstall"), "uninstaller program");
    EXPECT_EQ(vandu::test::FileMode(dir + "/Vandu"), 0755);
    EXPECT_EQ(vandu::test::FileMode(dir + "/VanduUninstall"), 0755);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/msg"));
    EXPECT_EQ(ReadFile(dir + "/vandu.png"), "PNG icon bytes");

    EXPECT_EQ(backend.ReadInt("InternetConnectionType"), 0);
    EXPECT_FALSE(backend.ReadInt("FirstTime").has_value());
    EXPECT_EQ(backend.ReadString("VanduID"), "5551234567");
    EXPECT_FALSE(backend.ReadString("InstallDir").has_value()) << "the agent records it, not the installer";

    const std::string expected = "[Desktop Entry]\nType=Application\nName=Vandu\nComment=Vandu Desktop Agent\nExec=\""
        + dir + "/Vandu\"\nPath=" + dir + "\nIcon=" + dir
        + "/vandu.png\nTerminal=false\nCategories=Network;Telephony;\n";
    for (const std::string& folder : {request.Folders.Desktop, request.Folders.Programs, request.Folders.Startup}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(Entry(folder), expected);
    }
    EXPECT_EQ(vandu::test::FileMode(request.Folders.Desktop + "/vandu.desktop"), 0755);
    EXPECT_EQ(vandu::test::FileMode(request.Folders.Programs + "/vandu.desktop"), 0644);
    EXPECT_EQ(vandu::test::FileMode(request.Folders.Startup + "/vandu.desktop"), 0644);
    EXPECT_EQ(ReadFile(request.Folders.Programs + "/vandu-uninstall.desktop"),
        "[Desktop Entry]\nType=Application\nName=Uninstall Vandu\nExec=\"" + dir + "/VanduUninstall\"\nIcon=" + dir
            + "/vandu.png\nTerminal=false\nCategories=Network;Telephony;\nX-Vandu-DisplayName=Vandu\n");

    // Only the refresh was started (no desktop asked for a trust mark), and not the agent.
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_EQ(launcher.Started()[0].Program, "update-desktop-database");
    EXPECT_EQ(launcher.Started()[0].Arguments, (std::vector<std::string> {"-q", request.Folders.Programs}));
}

TEST_F(InstallerTest, MissingAgentIsReportedAndTheOtherStepsStillRun)
{
    std::filesystem::remove(home.File("source/Vandu"));
    const CInstaller::SOutcome outcome = Install();
    EXPECT_TRUE(outcome.QuitRequested);
    EXPECT_EQ(prompts.Shown(),
        std::vector<std::string> {
            "File " + request.InstallDir + "/Vandu not copied! Make sure to close this application and try again."});
    EXPECT_EQ(prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Warning);
    EXPECT_FALSE(PathExists(request.InstallDir + "/Vandu"));
    EXPECT_TRUE(PathExists(request.InstallDir + "/VanduUninstall"));
    EXPECT_TRUE(PathExists(request.Folders.Desktop + "/vandu.desktop"));
    EXPECT_TRUE(PathExists(request.Folders.Startup + "/vandu.desktop"));
    EXPECT_TRUE(PathExists(request.Folders.Programs + "/vandu-uninstall.desktop"));
    EXPECT_EQ(backend.ReadInt("InternetConnectionType"), 0);
    EXPECT_FALSE(backend.ReadInt("FirstTime").has_value());
    EXPECT_TRUE(launcher.Detached().empty());
}

TEST_F(InstallerTest, InstallingOverAnInstallationReplacesProgramsAndKeepsMessages)
{
    ASSERT_FALSE(Install().QuitRequested);
    WriteFile(request.InstallDir + "/msg/5551234567.vdm", "messages");
    backend.WriteInt("FirstTime", 0);
    backend.WriteString("InstallDir", request.InstallDir);
    WriteFile(home.File("source/Vandu"), "agent 4.2.1");
    request.ConnectionType = 2;
    ASSERT_FALSE(Install().QuitRequested);
    EXPECT_EQ(ReadFile(request.InstallDir + "/Vandu"), "agent 4.2.1");
    EXPECT_EQ(ReadFile(request.InstallDir + "/msg/5551234567.vdm"), "messages");
    EXPECT_EQ(backend.ReadInt("InternetConnectionType"), 2);
    EXPECT_FALSE(backend.ReadInt("FirstTime").has_value());
    EXPECT_EQ(backend.ReadString("InstallDir"), request.InstallDir);
    EXPECT_TRUE(prompts.Shown().empty());
}

TEST_F(InstallerTest, StartedFromTheInstallDirectoryItselfKeepsThePrograms)
{
    ASSERT_FALSE(Install().QuitRequested);
    request.SourceDir = request.InstallDir;
    EXPECT_FALSE(Install().QuitRequested);
    EXPECT_EQ(ReadFile(request.InstallDir + "/Vandu"), std::string("agent\0program", 13));
    EXPECT_EQ(ReadFile(request.InstallDir + "/VanduUninstall"), "uninstaller program");
    EXPECT_TRUE(prompts.Shown().empty());
}

TEST_F(InstallerTest, AnEntryThatCannotBeSavedIsReportedAndTheOthersAreWritten)
{
    // A file where the Desktop folder should be.
    WriteFile(request.Folders.Desktop, "not a folder");
    EXPECT_FALSE(Install().QuitRequested);
    EXPECT_EQ(prompts.Shown(), std::vector<std::string> {"Save failed!"});
    EXPECT_EQ(ReadFile(request.Folders.Desktop), "not a folder");
    EXPECT_TRUE(PathExists(request.Folders.Programs + "/vandu.desktop"));
    EXPECT_TRUE(PathExists(request.Folders.Startup + "/vandu.desktop"));
    EXPECT_FALSE(backend.ReadInt("FirstTime").has_value());
}

TEST_F(InstallerTest, AnInstallDirectoryNoEntryCanNameShowsSetPathFailedPerEntry)
{
    // A Latin-1 folder name: the programs install, but no desktop entry can start them.
    request.InstallDir = home.File("data/J\xfcrgen/Vandu");
    EXPECT_FALSE(Install().QuitRequested);
    EXPECT_TRUE(PathExists(request.InstallDir + "/Vandu"));
    EXPECT_EQ(prompts.Shown(), (std::vector<std::string> {"SetPath failed!", "SetPath failed!", "SetPath failed!"}));
    EXPECT_FALSE(PathExists(request.Folders.Desktop + "/vandu.desktop"));
    EXPECT_FALSE(PathExists(request.Folders.Programs + "/vandu-uninstall.desktop"));
}

TEST_F(InstallerTest, GnomeDesktopsGetTheDesktopEntryMarkedTrusted)
{
    request.CurrentDesktop = "ubuntu:GNOME";
    Install();
    ASSERT_EQ(launcher.Started().size(), 2u);
    EXPECT_EQ(launcher.Started()[0].Program, "gio");
    EXPECT_EQ(launcher.Started()[0].Arguments,
        (std::vector<std::string> {
            "set", "-t", "string", request.Folders.Desktop + "/vandu.desktop", "metadata::trusted", "true"}));
    EXPECT_EQ(launcher.Started()[1].Program, "update-desktop-database");
}

TEST_F(InstallerTest, TheAgentStartsFromItsTargetInTheInstallDirectory)
{
    Install();
    EXPECT_EQ(installer.StartAgent(request.InstallDir), 4242);
    ASSERT_EQ(launcher.Detached().size(), 1u);
    EXPECT_EQ(launcher.Detached()[0].Program, request.InstallDir + "/Vandu");
    EXPECT_EQ(launcher.Detached()[0].WorkingDir, request.InstallDir);
    EXPECT_TRUE(launcher.Detached()[0].Arguments.empty());
}

} // namespace

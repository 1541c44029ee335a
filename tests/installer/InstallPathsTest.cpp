#include "installer/InstallPaths.h"
#include "installer/InstallSteps.h"

#include <gtest/gtest.h>

using namespace vandu::install;

namespace {

TEST(InstallPathsTest, ProposalIsThePreviousDirectoryElseTheUsersDataFolder)
{
    struct Row {
        const char* stored;
        const char* xdgDataHome;
        const char* expected;
    };
    for (const Row& row : {Row {"", "", "/home/ann/.local/share/Vandu"}, Row {"", "/srv/data", "/srv/data/Vandu"},
             Row {"", "/srv/data/", "/srv/data/Vandu"},
             // A relative XDG_DATA_HOME is invalid and ignored.
             Row {"", "data", "/home/ann/.local/share/Vandu"}, Row {"/opt/apps/Vandu", "/srv/data", "/opt/apps/Vandu"},
             Row {"/home/ann/Mes programmes/Vandu", "", "/home/ann/Mes programmes/Vandu"}}) {
        SCOPED_TRACE(std::string(row.stored) + " | " + row.xdgDataHome);
        EXPECT_EQ(ProposeInstallDir(row.stored, DefaultInstallDir(row.xdgDataHome, "/home/ann")), row.expected);
    }
}

TEST(InstallPathsTest, BrowsedFolderGetsVanduAddedAsWritten)
{
    struct Row {
        const char* picked;
        const char* expected;
        const char* startFolder; // where the browser opens when that directory is shown
    };
    for (const Row& row : {Row {"/", "/Vandu", "/"}, Row {"/opt/tools", "/opt/tools/Vandu", "/opt/tools"},
             Row {"/opt/tools/", "/opt/tools/Vandu", "/opt/tools"},
             Row {"/home/j\xc3\xbcrgen/My Apps", "/home/j\xc3\xbcrgen/My Apps/Vandu", "/home/j\xc3\xbcrgen/My Apps"},
             // Cancelled browser: nothing changes.
             Row {"", "", ""}}) {
        SCOPED_TRACE(row.picked);
        const std::string directory = BrowsedInstallDir(row.picked);
        EXPECT_EQ(directory, row.expected);
        EXPECT_EQ(BrowseStartFolder(directory), row.startFolder);
    }
}

TEST(InstallPathsTest, ShellFoldersFollowXdgUserDirAndTheBaseDirectoryRules)
{
    struct Row {
        const char* desktopOutput;
        const char* xdgDataHome;
        const char* xdgConfigHome;
        SShellFolders expected;
    };
    for (const Row& row : {
             Row {"/home/ann/Schreibtisch\n", "", "",
                 {"/home/ann/Schreibtisch", "/home/ann/.local/share/applications", "/home/ann/.config/autostart"}},
             // xdg-user-dir missing or silent.
             Row {"", "/x/data", "/x/config", {"/home/ann/Desktop", "/x/data/applications", "/x/config/autostart"}},
             Row {"garbage\n", "rel", "rel",
                 {"/home/ann/Desktop", "/home/ann/.local/share/applications", "/home/ann/.config/autostart"}},
         }) {
        SCOPED_TRACE(row.desktopOutput);
        const SShellFolders folders
            = ShellFoldersFrom(row.desktopOutput, "/home/ann", row.xdgDataHome, row.xdgConfigHome);
        EXPECT_EQ(folders.Desktop, row.expected.Desktop);
        EXPECT_EQ(folders.Programs, row.expected.Programs);
        EXPECT_EQ(folders.Startup, row.expected.Startup);
    }
}

TEST(InstallPathsTest, StepsComeInTheirOrderWithTheirFiles)
{
    SInstallRequest request;
    request.InstallDir = "/opt/My Apps/Vandu";
    request.SourceDir = "/media/cd";
    request.Folders = {"/h/Desktop", "/h/apps", "/h/autostart"};
    request.CurrentDesktop = "ubuntu:GNOME";
    using K = EInstallStep;
    const std::vector<SInstallStep> expected = {
        {K::CreateInstallDir, "", "/opt/My Apps/Vandu"},
        {K::CreateMessageFolder, "", "/opt/My Apps/Vandu/msg"},
        {K::CopyAgent, "/media/cd/Vandu", "/opt/My Apps/Vandu/Vandu"},
        {K::CopyUninstaller, "/media/cd/VanduUninstall", "/opt/My Apps/Vandu/VanduUninstall"},
        {K::WriteConnectionType, "", ""},
        {K::CreateDesktopEntry, "", "/h/Desktop/vandu.desktop", true},
        {K::CreateProgramsEntry, "", "/h/apps/vandu.desktop"},
        {K::CreateStartupEntry, "", "/h/autostart/vandu.desktop"},
        {K::RemoveFirstTime, "", ""},
        {K::WriteUninstallEntry, "", "/h/apps/vandu-uninstall.desktop"},
        {K::RefreshDesktopDatabase, "", "/h/apps"},
    };
    const std::vector<SInstallStep> plan = PlanInstallation(request);
    ASSERT_EQ(plan.size(), expected.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plan[i].Kind, expected[i].Kind);
        EXPECT_EQ(plan[i].Source, expected[i].Source);
        EXPECT_EQ(plan[i].Target, expected[i].Target);
        EXPECT_EQ(plan[i].MarkTrusted, expected[i].MarkTrusted);
    }
    // Started from the current directory, the sources are the bare names.
    request.SourceDir.clear();
    EXPECT_EQ(PlanInstallation(request)[2].Source, "Vandu");
}

TEST(InstallPathsTest, OnlyDesktopsThatAskForItGetTheTrustMark)
{
    for (const char* wanting : {"GNOME", "ubuntu:GNOME", "Unity", "Budgie:GNOME", "gnome-classic:GNOME"}) {
        SCOPED_TRACE(wanting);
        EXPECT_TRUE(DesktopWantsTrustMark(wanting));
    }
    for (const char* other : {"", "KDE", "XFCE", "LXQt", "X-Cinnamon", "GNOMEISH", "MATE", ":"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(DesktopWantsTrustMark(other));
    }
}

} // namespace

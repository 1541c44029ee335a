#include "uninstaller/UninstallDialog.h"
#include "common/AgentChannel.h"
#include "tests/installer/SetupSandbox.h"
#include "uninstaller/UninstallApp.h"
#include "uninstaller/UninstallPlan.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace vandu::test;

namespace {

// An installation as the installer leaves it, once the agent has run and saved messages.
class UninstallDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(installDir + "/msg");
        for (const char* file :
            {"Vandu", "VanduUninstall", "vandu.png", "msg/5551234567.vdm", "msg/5551234567-7.wav"}) {
            WriteFile(installDir + "/" + file, file);
        }
        sandbox.WriteSettings("[Main]\nInstallDir=" + installDir + "\nVanduID=5551234567\nFirstTime=0\n");
        for (const std::string& entry : AllEntries()) {
            std::filesystem::create_directories(std::filesystem::path(entry).parent_path());
            WriteFile(entry, "[Desktop Entry]\n");
        }
    }

    std::vector<std::string> AllEntries() const
    {
        const auto& folders = sandbox.Context().Environment.Folders;
        return {folders.Desktop + "/vandu.desktop", folders.Startup + "/vandu.desktop",
            folders.Programs + "/vandu.desktop", folders.Programs + "/vandu-uninstall.desktop"};
    }

    int RunDialog(bool ok)
    {
        CUninstallDialog dialog(sandbox.Context());
        dialog.show();
        dialog.findChild<QPushButton*>(ok ? "OK" : "Cancel")->click();
        return dialog.result();
    }

    void ExpectProgramsAndMessagesKept()
    {
        for (const char* file :
            {"Vandu", "VanduUninstall", "vandu.png", "msg/5551234567.vdm", "msg/5551234567-7.wav"}) {
            EXPECT_EQ(ReadFile(installDir + "/" + file), file);
        }
    }

    SetupSandbox sandbox;
    std::string installDir = sandbox.File("data/My Apps/Vandu");
};

TEST_F(UninstallDialogTest, OkRemovesSettingsAndEntriesButNoFileAndNamesTheDirectory)
{
    EXPECT_EQ(RunDialog(true), QDialog::Accepted);
    EXPECT_FALSE(PathExists(sandbox.SettingsFile()));
    EXPECT_FALSE(PathExists(sandbox.File("config/Vandu")));
    EXPECT_TRUE(PathExists(sandbox.File("config")));
    for (const std::string& entry : AllEntries()) {
        EXPECT_FALSE(PathExists(entry)) << entry;
    }
    EXPECT_TRUE(PathExists(sandbox.Context().Environment.Folders.Programs));
    ExpectProgramsAndMessagesKept();
    ASSERT_EQ(sandbox.Prompts.Boxes().size(), 1u);
    EXPECT_EQ(sandbox.Prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Warning);
    EXPECT_EQ(sandbox.Prompts.Shown()[0],
        "Vandu has been uninstalled.\nNow you can delete the directory: " + installDir + ".");
    ASSERT_EQ(sandbox.Launcher.Started().size(), 1u);
    EXPECT_EQ(sandbox.Launcher.Started()[0].Program, "update-desktop-database");

    // A second run finds nothing more to remove and says nothing.
    sandbox.Prompts.Clear();
    EXPECT_EQ(RunDialog(true), QDialog::Accepted);
    EXPECT_TRUE(sandbox.Prompts.Shown().empty());
    ExpectProgramsAndMessagesKept();
}

TEST_F(UninstallDialogTest, WithoutInstallDirTheRemovalRunsSilently)
{
    sandbox.WriteSettings("[Main]\nVanduID=5551234567\n");
    EXPECT_EQ(RunDialog(true), QDialog::Accepted);
    EXPECT_TRUE(sandbox.Prompts.Shown().empty());
    EXPECT_FALSE(PathExists(sandbox.SettingsFile()));
    EXPECT_FALSE(PathExists(AllEntries()[0]));
}

TEST_F(UninstallDialogTest, WhatOthersKeptBesideTheSettingsStays)
{
    sandbox.WriteSettings("[Main]\nInstallDir=" + installDir + "\n\n[Other]\nKey=kept\n");
    WriteFile(sandbox.File("config/Vandu/notes.txt"), "mine");
    RunDialog(true);
    const std::string text = ReadFile(sandbox.SettingsFile());
    EXPECT_EQ(text.find("[Main]"), std::string::npos);
    EXPECT_NE(text.find("Key=kept"), std::string::npos);
    struct stat info { };
    ASSERT_EQ(stat(sandbox.SettingsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFile(sandbox.File("config/Vandu/notes.txt")), "mine");
}

TEST_F(UninstallDialogTest, CancelAndEnterChangeNothing)
{
    const std::string before = ReadFile(sandbox.SettingsFile());
    EXPECT_EQ(RunDialog(false), QDialog::Rejected);

    CUninstallDialog dialog(sandbox.Context());
    dialog.show();
    auto* cancel = dialog.findChild<QPushButton*>("Cancel");
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Vandu Uninstall Program");
    EXPECT_EQ(dialog.findChild<QLabel*>("Text")->text().toStdString(), CUninstallDialog::kText);
    EXPECT_FALSE(dialog.findChild<QLabel*>("Icon")->pixmap().isNull());
    EXPECT_TRUE(cancel->isDefault());
    EXPECT_EQ(dialog.focusWidget(), cancel);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());

    EXPECT_EQ(ReadFile(sandbox.SettingsFile()), before);
    for (const std::string& entry : AllEntries()) {
        EXPECT_TRUE(PathExists(entry)) << entry;
    }
    EXPECT_TRUE(sandbox.Prompts.Shown().empty());
    EXPECT_TRUE(sandbox.Launcher.Started().empty());
}

TEST_F(UninstallDialogTest, RefusedWhileAnAgentRuns)
{
    CAgentListener agent;
    ASSERT_TRUE(agent.Listen());
    // Should the check fail, the dialog would wait for a user: close it instead of hanging.
    QTimer::singleShot(5000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    EXPECT_EQ(CUninstallApp(sandbox.Context()).Run(), 1);
    ASSERT_EQ(sandbox.Prompts.Boxes().size(), 1u);
    EXPECT_EQ(sandbox.Prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Stop);
    EXPECT_EQ(sandbox.Prompts.Shown()[0], CUninstallApp::kAgentRunning);
    EXPECT_TRUE(PathExists(sandbox.SettingsFile()));
    EXPECT_TRUE(PathExists(AllEntries()[0]));
}

TEST(UninstallPlanTest, EntriesInTheirOrderAndTheFinalMessage)
{
    const auto plan = vandu::uninstall::PlanUninstall({"/h/Desktop", "/h/apps", "/h/autostart"});
    EXPECT_EQ(plan.Entries,
        (std::vector<std::string> {"/h/Desktop/vandu.desktop", "/h/autostart/vandu.desktop", "/h/apps/vandu.desktop"}));
    EXPECT_EQ(plan.UninstallEntry, "/h/apps/vandu-uninstall.desktop");
    EXPECT_EQ(vandu::uninstall::UninstalledMessage(""), "");
    EXPECT_EQ(vandu::uninstall::UninstalledMessage("/opt/Vandu"),
        "Vandu has been uninstalled.\nNow you can delete the directory: /opt/Vandu.");
}

} // namespace

#include "common/AgentChannel.h"
#include "installer/InstallApp.h"
#include "installer/MyPropertySheet.h"
#include "installer/QtProcessStarter.h"
#include "tests/installer/SetupSandbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace vandu::test;

namespace {

class InstallWizardTest : public ::testing::Test {
protected:
    void SetUp() override { source = sandbox.MakeSourceFolder(); }

    std::string Shown(const char* name) { return sheet->findChild<QLabel*>(name)->text().toStdString(); }
    QAbstractButton* Button(QWizard::WizardButton which) { return sheet->button(which); }
    void Next() { Button(QWizard::NextButton)->click(); }
    template <typename T> T* Child(const char* name)
    {
        T* child = sheet->currentPage()->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    std::string Entry(const std::string& folder) { return folder + "/vandu.desktop"; }

    // Destination as proposed, terms ticked, the given connection choice: the finish page.
    void RunToFinish(const char* choice = "Lan")
    {
        Next();
        Child<QCheckBox>("Accept")->click();
        Next();
        if (choice) {
            Child<QRadioButton>(choice)->click();
        }
        Next();
    }

    void Open()
    {
        sheet = std::make_unique<CMyPropertySheet>(sandbox.Context());
        sheet->show();
    }

    SetupSandbox sandbox;
    std::string source;
    std::unique_ptr<CMyPropertySheet> sheet;
};

TEST_F(InstallWizardTest, FirstInstallationThroughEveryPage)
{
    Open();
    const std::string dir = sandbox.File("data/Vandu");
    EXPECT_EQ(sheet->windowTitle().toStdString(), "Vandu Version 4.2 Installation Program");
    EXPECT_EQ(Shown("Directory"), dir);
    EXPECT_FALSE(Button(QWizard::BackButton)->isEnabled());
    EXPECT_FALSE(Child<QLabel>("SidePicture")->pixmap().isNull());
    Next();

    // Terms: the text is ours, and Next follows the tick at once.
    EXPECT_NE(Child<QPlainTextEdit>("Terms")->toPlainText().indexOf(QStringLiteral("TERMS OF SERVICE")), -1);
    EXPECT_FALSE(Button(QWizard::NextButton)->isEnabled());
    Child<QCheckBox>("Accept")->click();
    EXPECT_TRUE(Button(QWizard::NextButton)->isEnabled());
    Child<QCheckBox>("Accept")->click();
    EXPECT_FALSE(Button(QWizard::NextButton)->isEnabled());
    EXPECT_TRUE(Button(QWizard::BackButton)->isEnabled());
    Child<QCheckBox>("Accept")->click();
    Next();

    // Connection: nothing stored, nothing chosen; Next asks for a choice and stays.
    QWizardPage* connection = sheet->currentPage();
    for (const char* name : {"Lan", "Modem", "Aol"}) {
        EXPECT_FALSE(Child<QRadioButton>(name)->isChecked()) << name;
    }
    Next();
    EXPECT_EQ(sandbox.Prompts.Shown(), std::vector<std::string> {"Please, select your type of Internet connection."});
    EXPECT_EQ(sheet->currentPage(), connection);
    EXPECT_FALSE(std::filesystem::exists(dir));
    Child<QRadioButton>("Modem")->click();
    Next();

    // Finish: everything is in place before the user presses anything.
    EXPECT_EQ(sheet->currentPage()->objectName(), "FinishPage");
    EXPECT_FALSE(Button(QWizard::BackButton)->isVisible());
    EXPECT_TRUE(Button(QWizard::FinishButton)->isVisible());
    EXPECT_EQ(ReadFile(dir + "/Vandu"), "agent");
    EXPECT_EQ(ReadFile(dir + "/VanduUninstall"), "uninstaller");
    EXPECT_EQ(vandu::test::FileMode(dir + "/Vandu"), 0755);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/msg"));
    EXPECT_EQ(sandbox.Setting("InternetConnectionType"), "1");
    EXPECT_EQ(sandbox.Setting("FirstTime"), "<missing>");
    const auto& folders = sandbox.Context().Environment.Folders;
    EXPECT_EQ(folders.Desktop, sandbox.File("Desktop"));
    for (const std::string& entry : {Entry(folders.Desktop), Entry(folders.Programs), Entry(folders.Startup),
             folders.Programs + "/vandu-uninstall.desktop"}) {
        SCOPED_TRACE(entry);
        EXPECT_TRUE(PathExists(entry));
    }
    EXPECT_TRUE(sandbox.Launcher.Detached().empty());
    EXPECT_EQ(sandbox.Prompts.Shown().size(), 1u);

    Button(QWizard::FinishButton)->click();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    ASSERT_EQ(sandbox.Launcher.Detached().size(), 1u);
    EXPECT_EQ(sandbox.Launcher.Detached()[0].Program, dir + "/Vandu");
    EXPECT_EQ(sandbox.Launcher.Detached()[0].WorkingDir, dir);
}

TEST_F(InstallWizardTest, BrowseAddsVanduToThePickedFolderAndCancelChangesNothing)
{
    Open();
    auto* browse = Child<QAbstractButton>("Browse");
    struct Row {
        const char* answer;
        std::string shown;
    };
    for (const Row& row : {Row {"/", "/Vandu"}, Row {"/opt/tools", "/opt/tools/Vandu"}, Row {"", "/opt/tools/Vandu"},
             Row {"/home/j\xc3\xbcrgen/My Apps/", "/home/j\xc3\xbcrgen/My Apps/Vandu"}}) {
        SCOPED_TRACE(row.answer);
        sandbox.Dialogs.SetNextAnswer(row.answer);
        browse->click();
        EXPECT_EQ(Shown("Directory"), row.shown);
    }
    ASSERT_EQ(sandbox.Dialogs.Asked().size(), 4u);
    EXPECT_EQ(sandbox.Dialogs.Asked()[0].Caption, "Choose a Program Group");
    EXPECT_EQ(sandbox.Dialogs.Asked()[1].Directory, "/");
    Next();
    EXPECT_EQ(sheet->InstallDir(), "/home/j\xc3\xbcrgen/My Apps/Vandu");
}

TEST_F(InstallWizardTest, APreviousInstallationIsProposedWithItsTypeAndKeepsItsMessages)
{
    const std::string dir = sandbox.File("apps/Old Vandu");
    std::filesystem::create_directories(dir + "/msg");
    WriteFile(dir + "/msg/5551234567.vdm", "messages");
    WriteFile(dir + "/Vandu", "agent 4.1");
    sandbox.WriteSettings(
        "[Main]\nInstallDir=" + dir + "\nInternetConnectionType=2\nFirstTime=0\nVanduID=5551234567\n");
    Open();
    EXPECT_EQ(Shown("Directory"), dir);
    Next();
    Child<QCheckBox>("Accept")->click();
    Next();
    EXPECT_TRUE(Child<QRadioButton>("Aol")->isChecked());
    Next();
    EXPECT_TRUE(sandbox.Prompts.Shown().empty());
    EXPECT_EQ(ReadFile(dir + "/Vandu"), "agent");
    EXPECT_EQ(ReadFile(dir + "/msg/5551234567.vdm"), "messages");
    EXPECT_EQ(sandbox.Setting("InternetConnectionType"), "2");
    EXPECT_EQ(sandbox.Setting("VanduID"), "5551234567");
    EXPECT_EQ(sandbox.Setting("FirstTime"), "<missing>");
}

TEST_F(InstallWizardTest, OnlyAStoredTypeOfTheThreeIsPreselected)
{
    for (const char* stored : {"7", "-1", "abc", ""}) {
        SCOPED_TRACE(stored);
        sandbox.WriteSettings(std::string("[Main]\nInternetConnectionType=") + stored + "\n");
        Open();
        Next();
        Child<QCheckBox>("Accept")->click();
        Next();
        for (const char* name : {"Lan", "Modem", "Aol"}) {
            EXPECT_FALSE(Child<QRadioButton>(name)->isChecked()) << name;
        }
        sheet.reset();
    }
}

TEST_F(InstallWizardTest, MissingAgentEndsTheWizardWithoutStartingIt)
{
    std::filesystem::remove(source + "/Vandu");
    Open();
    RunToFinish();
    const std::string dir = sandbox.File("data/Vandu");
    EXPECT_EQ(sandbox.Prompts.Shown(),
        std::vector<std::string> {
            "File " + dir + "/Vandu not copied! Make sure to close this application and try again."});
    EXPECT_TRUE(PathExists(Entry(sandbox.Context().Environment.Folders.Desktop)));
    EXPECT_EQ(sandbox.Setting("FirstTime"), "<missing>");
    // The quit request is handled by the event loop: the wizard closes by itself.
    for (int i = 0; i < 100 && sheet->isVisible(); ++i) {
        QApplication::processEvents();
    }
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_TRUE(sandbox.Launcher.Detached().empty());
}

TEST_F(InstallWizardTest, CancelBeforeTheLastPageInstallsNothing)
{
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        Open();
        for (int i = 0; i < page; ++i) {
            if (i == 1) {
                Child<QCheckBox>("Accept")->click();
            }
            Next();
        }
        Button(QWizard::CancelButton)->click();
        EXPECT_FALSE(sheet->isVisible());
        sheet.reset();
    }
    EXPECT_FALSE(PathExists(sandbox.File("data/Vandu")));
    EXPECT_FALSE(PathExists(sandbox.File("Desktop")));
    EXPECT_FALSE(PathExists(sandbox.SettingsFile()));
    EXPECT_TRUE(sandbox.Launcher.Started().empty());
}

TEST_F(InstallWizardTest, CancelOnTheLastPageStartsTheAgentToo)
{
    Open();
    RunToFinish();
    Button(QWizard::CancelButton)->click();
    ASSERT_EQ(sandbox.Launcher.Detached().size(), 1u);
    EXPECT_EQ(sandbox.Launcher.Detached()[0].WorkingDir, sandbox.File("data/Vandu"));
}

TEST_F(InstallWizardTest, InstallationIsRefusedWhileAnAgentRuns)
{
    CAgentListener agent;
    ASSERT_TRUE(agent.Listen());
    // Should the check fail, the wizard would wait for a user: close it instead of hanging.
    QTimer::singleShot(5000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    EXPECT_EQ(CInstallApp(sandbox.Context()).Run(), 1);
    ASSERT_EQ(sandbox.Prompts.Boxes().size(), 1u);
    EXPECT_EQ(sandbox.Prompts.Boxes()[0].BoxKind, IUserPrompts::Kind::Stop);
    EXPECT_EQ(sandbox.Prompts.Shown()[0], CInstallApp::kAgentRunning);
    EXPECT_FALSE(PathExists(sandbox.File("data/Vandu")));
    EXPECT_FALSE(PathExists(sandbox.SettingsFile()));
}

// The real launcher, remembering what it started so that the test can end it.
class CPidLauncher : public CQtProcessStarter {
public:
    long long StartDetached(
        const std::string& program, const std::vector<std::string>& arguments, const std::string& workingDir) override
    {
        Pid = CQtProcessStarter::StartDetached(program, arguments, workingDir);
        return Pid;
    }
    long long Pid = -1;
};

bool Gone(long long pid)
{
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return stat.empty() || (close != std::string::npos && stat.compare(close + 2, 1, "Z") == 0);
}

TEST_F(InstallWizardTest, TheInstalledAgentStartsInItsDirectoryAndRecordsIt)
{
    sandbox.MakeSourceFolder(VANDU_AGENT_PATH, VANDU_UNINSTALLER_PATH);
    // The agent must not find a message service of anyone else on this machine.
    setenv("VANDU_SERVICE", ("http://127.0.0.1:" + std::to_string(FreeLoopbackPort())).c_str(), 1);
    CPidLauncher launcher;
    SInstallContext context {
        sandbox.Backend, sandbox.Settings, sandbox.Prompts, sandbox.Dialogs, launcher, sandbox.Context().Environment};
    sheet = std::make_unique<CMyPropertySheet>(context);
    sheet->show();
    const std::string dir = sandbox.File("data/Vandu");
    RunToFinish();
    EXPECT_TRUE(sandbox.Prompts.Shown().empty());
    EXPECT_EQ(ReadFile(dir + "/Vandu"), ReadFile(VANDU_AGENT_PATH));
    EXPECT_EQ(ReadFile(dir + "/VanduUninstall"), ReadFile(VANDU_UNINSTALLER_PATH));
    Button(QWizard::FinishButton)->click();
    ASSERT_GT(launcher.Pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (sandbox.Setting("InstallDir") != dir && !Gone(launcher.Pid) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(sandbox.Setting("InstallDir"), dir);
    EXPECT_EQ(sandbox.Setting("FirstTime"), "0");
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(launcher.Pid) + "/cwd").string(), dir);
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(launcher.Pid) + "/exe").string(), dir + "/Vandu");

    // How the agent ends is the start-up tests' business; here it only has to go.
    kill(static_cast<pid_t>(launcher.Pid), SIGTERM);
    const auto stopDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!Gone(launcher.Pid) && std::chrono::steady_clock::now() < stopDeadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!Gone(launcher.Pid)) {
        kill(static_cast<pid_t>(launcher.Pid), SIGKILL);
    }

    // What the menus read: every entry the installation wrote passes the validator.
    const std::string validator = FindProgram("desktop-file-validate");
    VANDU_REQUIRE_PEER(!validator.empty(), "desktop-file-validate (desktop-file-utils)");
    const auto& folders = context.Environment.Folders;
    for (const std::string& entry : {Entry(folders.Desktop), Entry(folders.Programs), Entry(folders.Startup),
             folders.Programs + "/vandu-uninstall.desktop"}) {
        SCOPED_TRACE(entry);
        EXPECT_EQ(RunCapture("'" + validator + "' '" + entry + "' 2>&1; echo rc=$?"), "rc=0\n");
    }
}

} // namespace

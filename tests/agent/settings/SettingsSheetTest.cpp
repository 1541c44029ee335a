// The settings sheet with real widgets on the offscreen platform, driven through its controls and
// the agent's seams: what each page's OK writes and in which order, and what it asks of the agent.

#include "agent/service/ServiceConfig.h"
#include "agent/settings/VanduSettingsPageAppareance.h"
#include "agent/settings/VanduSettingsPageEmailCounter.h"
#include "agent/settings/VanduSettingsPageIdentification.h"
#include "agent/settings/VanduSettingsPageInternet.h"
#include "agent/settings/VanduSettingsPagePreferences.h"
#include "agent/settings/VanduSettingsPropertySheet.h"
#include "agent/skin/SkinBitmap.h"
#include "tests/agent/settings/SheetRig.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vandu::test;
using Strings = std::vector<std::string>;

namespace {

const Strings kAppearanceWrites {"LCDColor", "Color"};
const Strings kPreferencesWrites {"Beep", "BringUpNewMsg", "TopMost", "AutomaticPlay", "WaveNewMsg", "AudioType"};
const Strings kEmailWrites {"PopEnabled", "PopPassword", "PopPeriod", "PopServer", "PopUser", "PopSecurity", "PopPort"};
const Strings kInternetWrites {"ProxyName", "ProxyPort", "WebBrowser", "InternetConnectionType"};

Strings operator+(Strings first, const Strings& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

template <typename T> T* Find(QWidget* root, const char* name)
{
    T* widget = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

class SheetTest : public ::testing::Test {
protected:
    SheetTest()
    {
        rig.Settings.SetVanduID("5551234567");
        rig.Settings.SetPassword("1234");
        rig.Forget();
    }
    std::unique_ptr<CVanduSettingsPropertySheet> Open(bool identificationOnly = false)
    {
        auto sheet = std::make_unique<CVanduSettingsPropertySheet>(
            rig.Services, [this] { return browser; }, identificationOnly);
        sheet->show();
        return sheet;
    }
    static void ShowAll(CVanduSettingsPropertySheet& sheet)
    {
        for (int page = 1; page < 5; ++page) {
            sheet.Tabs()->setCurrentIndex(page);
        }
    }
    static void Ok(CVanduSettingsPropertySheet& sheet) { sheet.Buttons()->button(QDialogButtonBox::Ok)->click(); }
    static QString Text(QWidget* page, const char* name) { return Find<QLineEdit>(page, name)->text(); }
    static void Type(QWidget* page, const char* name, const QString& text)
    {
        Find<QLineEdit>(page, name)->setText(text);
    }

    CSheetRig rig;
    std::string browser = "/usr/bin/web-browser";
};

TEST_F(SheetTest, OkWritesOnlyTheShownPagesInPageOrder)
{
    struct Row {
        std::vector<int> shown;
        Strings writes;
        Strings calls;
    };
    const Row rows[] = {
        {{}, {}, {"ClearFirstShowPending"}},
        {{1}, kAppearanceWrites, {"ClearFirstShowPending", "SetLcdColour 0", "SelectSkin 0"}},
        {{4, 2}, kPreferencesWrites + kInternetWrites, {"ClearFirstShowPending", "SetTopMost 0"}},
        {{3, 1, 0}, kAppearanceWrites + kEmailWrites, {"ClearFirstShowPending", "SetLcdColour 0", "SelectSkin 0"}},
        {{1, 2, 3, 4}, kAppearanceWrites + kPreferencesWrites + kEmailWrites + kInternetWrites,
            {"ClearFirstShowPending", "SetLcdColour 0", "SelectSkin 0", "SetTopMost 0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.shown));
        rig.Forget();
        auto sheet = Open();
        for (int page : row.shown) {
            sheet->Tabs()->setCurrentIndex(page);
        }
        Ok(*sheet);
        EXPECT_EQ(sheet->result(), QDialog::Accepted);
        EXPECT_EQ(rig.Backend.Writes, row.writes);
        EXPECT_EQ(rig.Window.Calls, row.calls);
    }
    rig.Forget();
    auto sheet = Open();
    ShowAll(*sheet);
    sheet->Buttons()->button(QDialogButtonBox::Cancel)->click();
    EXPECT_TRUE(rig.Backend.Writes.empty());
    EXPECT_TRUE(rig.Window.Calls.empty());
    EXPECT_FALSE(sheet->Buttons()->button(QDialogButtonBox::Apply)->isEnabled());
}

// Every value survives being shown and written back unchanged, so no page mixes up its fields.
TEST_F(SheetTest, StoredValuesComeBackUnchanged)
{
    CSettingsStore& s = rig.Settings;
    s.SetColor(7);
    s.SetLCDColor(2);
    s.SetTopMost(1);
    s.SetBeep(0);
    s.SetBringUpNewMsg(0);
    s.SetAutomaticPlay(1);
    s.SetWaveNewMsg("/sounds/new message.wav");
    s.SetAudioType(1);
    s.SetPopEnabled(1);
    s.SetPopPassword("p@ss#w");
    s.SetPopPeriod(12);
    s.SetPopServer("pop.example");
    s.SetPopUser("ann");
    s.SetPopSecurity(2);
    s.SetPopPort("1110");
    s.SetProxyName("proxy.example");
    s.SetProxyPort("8080");
    s.SetInternetConnectionType(2);
    browser = "/opt/browser";
    auto sheet = Open();
    ShowAll(*sheet);
    Ok(*sheet);
    EXPECT_EQ(s.GetColor(), 7);
    EXPECT_EQ(s.GetLCDColor(), 2);
    EXPECT_TRUE(s.GetTopMost() && !s.GetBeep() && !s.GetBringUpNewMsg() && s.GetAutomaticPlay() && s.GetPopEnabled());
    EXPECT_EQ(s.GetWaveNewMsg(), "/sounds/new message.wav");
    EXPECT_EQ(s.GetAudioType(), 1);
    EXPECT_EQ(s.GetPopPassword(), "p@ss#w");
    EXPECT_EQ(s.GetPopPeriod(), 12);
    EXPECT_EQ(s.GetPopServer() + " " + s.GetPopUser() + " " + s.GetPopPort(), "pop.example ann 1110");
    EXPECT_EQ(s.GetPopSecurity(), 2);
    EXPECT_EQ(s.GetProxyName() + ":" + s.GetProxyPort(), "proxy.example:8080");
    EXPECT_EQ(s.GetWebBrowser(), "/opt/browser");
    EXPECT_EQ(s.GetInternetConnectionType(), 2);
    EXPECT_EQ(rig.Window.Calls,
        (Strings {"ClearFirstShowPending", "SetLcdColour 2", "SelectSkin 7", "SetTopMost 1", "StartMailCount"}));
}

TEST_F(SheetTest, IdentificationOk)
{
    const char* invalid = CVanduSettingsPageIdentification::kInvalidText;
    const Strings changed {"VanduID", "Channel", "AskVanduID"};
    struct Row {
        const char* name;
        const char* id;
        const char* password;
        bool save;
        bool reachable;
        int32_t loginOk;
        Strings writes;
        int checks;
        Strings boxes;
        Strings calls;
    };
    const Row rows[] = {
        {"unchanged", "5551234567", "1234", true, true, 1, {}, 0, {}, {"ClearFirstShowPending"}},
        {"only Save password unticked", "5551234567", "1234", false, true, 1, {}, 0, {}, {"ClearFirstShowPending"}},
        {"blanks around", " 5551234567\t", " 1234 ", true, true, 1, {}, 0, {}, {"ClearFirstShowPending"}},
        {"not reachable", "5551234567", "9999", true, false, 1, changed, 0,
            {CVanduSettingsPageIdentification::kNotConnectedText}, {"ClearFirstShowPending"}},
        {"invalid", "5551234567", "9999", true, true, 0, changed, 1, {invalid}, {"ClearFirstShowPending"}},
        {"valid new ID", "5559876543", "4321", false, true, 1, changed, 1, {},
            {"ClearFirstShowPending", "RestartCycle", "Repaint"}},
        {"empty password", "5551234567", "", true, true, 0, changed, 1, {invalid}, {"ClearFirstShowPending"}},
    };
    // A message waits in the new ID's file: a reload shows it.
    {
        CMessageStore other(rig.Renderer, rig.Player, rig.Settings, rig.Account, rig.Time, rig.Dir.File("msg"));
        other.Open("5559876543");
        other.AddDownloadedMessage("1/2/2026", "10:00:00", 2, "", "", "hello", "", "", "", "");
        ASSERT_EQ(other.Save(), 1);
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        rig.Settings.SetVanduID("5551234567");
        rig.Settings.SetPassword("1234");
        rig.Settings.SetPasswordSaved(true);
        rig.Store.Reload();
        rig.Forget();
        rig.Scripted.Checks = 0;
        rig.Scripted.LoginOk = row.loginOk;
        rig.Reachability.Reachable = row.reachable;
        auto sheet = Open();
        Type(sheet->Identification(), "vanduId", QString::fromLatin1(row.id));
        Type(sheet->Identification(), "password", QString::fromLatin1(row.password));
        Find<QCheckBox>(sheet->Identification(), "savePassword")->setChecked(row.save);
        Ok(*sheet);
        EXPECT_EQ(rig.Backend.Writes, row.writes);
        EXPECT_EQ(rig.Scripted.Checks, row.checks);
        EXPECT_EQ(rig.Prompts.Shown(), row.boxes);
        EXPECT_EQ(rig.Window.Calls, row.calls);
        EXPECT_EQ(rig.Store.StatusOverride(), row.checks == 1 && row.loginOk == 0);
        EXPECT_EQ(rig.Store.Count(), std::string(row.id) == "5559876543" ? 1 : 0) << "messages of the ID in use";
        if (!row.writes.empty()) {
            EXPECT_EQ(rig.Settings.GetVanduID(), row.id);
            EXPECT_EQ(rig.Settings.GetPassword(), row.password);
            EXPECT_EQ(rig.Settings.IsPasswordSaved(), row.save);
        }
    }
    EXPECT_EQ(rig.Store.StatusLine(), CVanduSettingsPageIdentification::kInvalidStatusText);
}

TEST_F(SheetTest, UnsavedPasswordShowsEmptyAndWizardValuesAreTakenOver)
{
    rig.Settings.SetPasswordSaved(false);
    auto sheet = Open();
    EXPECT_EQ(Text(sheet->Identification(), "password"), "");
    EXPECT_FALSE(Find<QCheckBox>(sheet->Identification(), "savePassword")->isChecked());

    rig.Window.Wizard = [this] {
        rig.Settings.SetVanduID("5550001111");
        rig.Settings.SetPassword("7777");
        rig.Settings.SetPasswordSaved(true);
    };
    Find<QPushButton>(sheet->Identification(), "signup")->click();
    EXPECT_EQ(Text(sheet->Identification(), "vanduId"), "5550001111");
    rig.Forget();
    Ok(*sheet);
    EXPECT_TRUE(rig.Backend.Writes.empty()) << "the sheet wrote its old values over the new account";
    EXPECT_EQ(rig.Scripted.Checks, 0);
}

TEST_F(SheetTest, EditProfileOpensTheTypedValues)
{
    auto sheet = Open();
    Type(sheet->Identification(), "vanduId", "5550002222");
    Type(sheet->Identification(), "password", "98 7");
    Find<QPushButton>(sheet->Identification(), "editProfile")->click();
    EXPECT_EQ(rig.Urls.Opened(), Strings {CVanduSettingsPageIdentification::EditProfileUrl("5550002222", "98 7")});
    EXPECT_EQ(CVanduSettingsPageIdentification::EditProfileUrl("1", "2"),
        ServiceCgiBase() + "MessageManager.dll?OLLogin&VanduID=1&Password=2&Destination=OLSettings");
}

TEST_F(SheetTest, IdentificationOnlyCanBeLeftOnlyByClose)
{
    auto sheet = Open(true);
    EXPECT_EQ(sheet->Tabs()->count(), 1);
    EXPECT_EQ(sheet->windowTitle(), "Vandu Properties");
    EXPECT_FALSE(sheet->Buttons()->button(QDialogButtonBox::Cancel)->isEnabled());
    EXPECT_EQ(sheet->Buttons()->button(QDialogButtonBox::Ok)->text(), "Close");
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    sheet->close();
    EXPECT_TRUE(sheet->isVisible());
    Ok(*sheet);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
}

TEST_F(SheetTest, AppearanceListAndPreview)
{
    const QStringList names {"Red", "Blue", "Yellow", "Pink", "Light Blue", "Green", "Office", "Orange", "Wood",
        "Light Wood", "Stone", "American Flag", "Cow", "Candy", "Multicolor", "Water"};
    CSkinBitmap water, red, green;
    water.LoadFromResource(262);
    red.LoadFromResource(137);
    green.LoadFromResource(162);
    rig.Settings.SetColor(15);
    auto sheet = Open();
    auto* list = Find<QListWidget>(sheet->Appearance(), "skins");
    QStringList shown;
    for (int row = 0; row < list->count(); ++row) {
        shown << list->item(row)->text();
    }
    EXPECT_EQ(shown, names);
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems()[0]->text(), "Water");
    // Right of the overlay, inside the outline: the face; inside the LCD: the green background.
    const QImage& preview = sheet->Appearance()->PreviewImage();
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.pixel(215, 100), water.Image().pixel(215, 100));
    EXPECT_NE(preview.pixel(215, 100), red.Image().pixel(215, 100));
    EXPECT_EQ(preview.pixel(29 + 80, 60 + 40), green.Image().pixel(80, 40));
    EXPECT_EQ(qAlpha(preview.pixel(1, 1)), 0) << "outside the window's outline";
    list->setCurrentRow(0);
    EXPECT_EQ(sheet->Appearance()->PreviewImage().pixel(215, 100), red.Image().pixel(215, 100));

    for (int stored : {-1, 16}) {
        SCOPED_TRACE(stored);
        rig.Settings.SetColor(stored);
        rig.Forget();
        auto other = Open();
        EXPECT_TRUE(Find<QListWidget>(other->Appearance(), "skins")->selectedItems().isEmpty());
        EXPECT_TRUE(other->Appearance()->PreviewImage().isNull());
        Find<QRadioButton>(other->Appearance(), "lcd1")->click();
        EXPECT_TRUE(other->Appearance()->PreviewImage().isNull()) << "drawn without a skin";
        other->Tabs()->setCurrentIndex(1);
        Ok(*other);
        EXPECT_EQ(rig.Settings.GetColor(), -1);
        EXPECT_EQ(rig.Settings.GetLCDColor(), 1);
        EXPECT_EQ(rig.Window.Calls, (Strings {"ClearFirstShowPending", "SetLcdColour 1", "SelectSkin -1"}));
    }
}

TEST_F(SheetTest, PreferencesPlayBrowseAndOk)
{
    auto sheet = Open();
    QWidget* page = sheet->Preferences();
    sheet->Tabs()->setCurrentIndex(2);
    Find<QPushButton>(page, "play")->click();
    rig.Files.SetNextAnswer("/sounds/ring.wav");
    Find<QPushButton>(page, "browse")->click();
    Find<QPushButton>(page, "browse")->click(); // cancelled: the path stays
    Find<QPushButton>(page, "play")->click();
    EXPECT_EQ(rig.Player.Played, (Strings {"built-in 171", "file /sounds/ring.wav"}));
    ASSERT_EQ(rig.Files.Asked().size(), 2u);
    EXPECT_EQ(rig.Files.Asked()[0].Filter, "Wave files (*.wav)");
    EXPECT_EQ(rig.Files.Asked()[1].Directory, "/sounds/ring.wav");

    Find<QCheckBox>(page, "topMost")->setChecked(true);
    Find<QCheckBox>(page, "sound")->setChecked(false);
    Find<QCheckBox>(page, "nonCompressed")->setChecked(true);
    Ok(*sheet);
    EXPECT_EQ(rig.Window.Calls, (Strings {"ClearFirstShowPending", "SetTopMost 1"}));
    EXPECT_TRUE(rig.Settings.GetTopMost() && !rig.Settings.GetBeep() && rig.Settings.GetAudioType() == 1);
    EXPECT_EQ(rig.Settings.GetWaveNewMsg(), "/sounds/ring.wav");
}

TEST_F(SheetTest, EmailPeriodRefusedUnlessUnsignedDecimal)
{
    for (const char* period : {"abc", "", "-3", "2147483648"}) {
        SCOPED_TRACE(period);
        rig.Forget();
        auto sheet = Open();
        sheet->Tabs()->setCurrentIndex(3);
        Type(sheet->EmailCounter(), "popPeriod", QString::fromLatin1(period));
        Ok(*sheet);
        sheet->Tabs()->setCurrentIndex(4);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(sheet->Tabs()->currentIndex(), 3);
        EXPECT_FALSE(sheet->WasShown(4));
        EXPECT_EQ(rig.Prompts.Shown(), Strings(2, "Please enter a positive integer."));
        EXPECT_TRUE(rig.Backend.Writes.empty());
    }
    rig.Forget();
    auto sheet = Open();
    sheet->Tabs()->setCurrentIndex(3);
    Type(sheet->EmailCounter(), "popPort", "65536");
    Ok(*sheet);
    EXPECT_EQ(rig.Prompts.Shown(), Strings {"Please enter an integer between 1 and 65535."});
    EXPECT_TRUE(sheet->isVisible());
}

TEST_F(SheetTest, EmailOkCountsOrClearsTheMailStatus)
{
    EXPECT_EQ(Open()->findChild<QComboBox*>("popSecurity")->currentText(), "SSL/TLS") << "new user";
    rig.Settings.SetPopServer("pop.example");
    EXPECT_EQ(Open()->findChild<QComboBox*>("popSecurity")->currentText(), "None")
        << "stored before the choice existed";

    auto sheet = Open();
    QWidget* page = sheet->EmailCounter();
    sheet->Tabs()->setCurrentIndex(3);
    Find<QCheckBox>(page, "popEnabled")->setChecked(true);
    Type(page, "popPeriod", "0");
    Find<QComboBox>(page, "popSecurity")->setCurrentIndex(2);
    Type(page, "popPort", "1110");
    Ok(*sheet);
    EXPECT_EQ(rig.Settings.GetPopPeriod(), 5);
    EXPECT_EQ(rig.Settings.GetPopSecurity(), 2);
    EXPECT_EQ(rig.Settings.GetPopPortNumber(), 1110);
    EXPECT_EQ(rig.Window.Calls.back(), "StartMailCount");

    rig.Store.SetMailStatus(12);
    auto next = Open();
    EXPECT_EQ(Text(next->EmailCounter(), "popPeriod"), "5");
    next->Tabs()->setCurrentIndex(3);
    Find<QCheckBox>(next->EmailCounter(), "popEnabled")->setChecked(false);
    rig.Forget();
    Ok(*next);
    EXPECT_EQ(rig.Store.MailStatus(), -1);
    EXPECT_EQ(rig.Window.Calls, Strings {"ClearFirstShowPending"});
}

TEST_F(SheetTest, InternetBrowserAndConnectionType)
{
    browser = "c:\\tools\\web.exe";
    rig.Settings.SetInternetConnectionType(1);
    auto sheet = Open();
    QWidget* page = sheet->Internet();
    sheet->Tabs()->setCurrentIndex(4);
    EXPECT_TRUE(Find<QRadioButton>(page, "connectionType1")->isChecked());
    EXPECT_LT(Find<QRadioButton>(page, "connectionType1")->y(), Find<QRadioButton>(page, "connectionType0")->y())
        << "the modem is drawn at the top";

    const std::string program = rig.Dir.File("browser");
    WriteFile(program, "#!/bin/sh\n");
    ::chmod(program.c_str(), 0755);
    rig.Files.SetNextAnswer(rig.Dir.File("msg"));
    Find<QPushButton>(page, "browse")->click();
    EXPECT_EQ(Text(page, "browserPath"), "c:\\tools\\web.exe") << "a folder is no program";
    EXPECT_EQ(rig.Files.Asked().at(0).Filter, "Executable files (*)");
    ASSERT_EQ(rig.Prompts.Shown().size(), 1u);

    Find<QRadioButton>(page, "connectionType2")->click();
    Ok(*sheet);
    EXPECT_EQ(rig.Settings.GetWebBrowser(), "c:\\tools\\web.exe");
    EXPECT_EQ(rig.Settings.GetInternetConnectionType(), 2);

    auto next = Open();
    next->Tabs()->setCurrentIndex(4);
    rig.Files.SetNextAnswer(program);
    Find<QPushButton>(next->Internet(), "browse")->click();
    Ok(*next);
    EXPECT_EQ(rig.Settings.GetWebBrowser(), program);
}

// Every control a user can reach by Tab has a name a screen reader can speak, and the mnemonics
// written on the pages move the focus or press the button.
TEST_F(SheetTest, KeyboardAndAccessibleNames)
{
    auto sheet = Open();
    QApplication::setActiveWindow(sheet.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "vanduId");
    struct Row {
        int page;
        char key;
        const char* focused;
    };
    for (const Row& row : {Row {0, 'I', "vanduId"}, Row {0, 'P', "password"}, Row {1, 'K', "skins"},
             Row {2, 'W', "wavePath"}, Row {2, 'T', "topMost"}, Row {3, 'V', "popPeriod"}, Row {3, 'S', "popServer"},
             Row {3, 'C', "popSecurity"}, Row {3, 'O', "popPort"}, Row {3, 'U', "popUser"}, Row {4, 'E', "browserPath"},
             Row {4, 'P', "proxyPort"}, Row {4, 'L', "connectionType0"}}) {
        SCOPED_TRACE(std::string(1, row.key) + " on page " + std::to_string(row.page));
        sheet->Tabs()->setCurrentIndex(row.page);
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(row.key), Qt::AltModifier);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), row.focused);
        for (QWidget* widget : sheet->Tabs()->currentWidget()->findChildren<QWidget*>()) {
            if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus)) {
                EXPECT_FALSE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty())
                    << widget->metaObject()->className() << " " << widget->objectName().toStdString();
            }
        }
    }
    // A mnemonic presses its button the way a click does, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Find<QRadioButton>(sheet->Internet(), "connectionType0")->isChecked(); }));
    EXPECT_TRUE(Find<QCheckBox>(sheet->Preferences(), "topMost")->isChecked());
    sheet->Tabs()->setCurrentIndex(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 2);
    rig.Forget();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_TRUE(rig.Settings.GetTopMost());
    EXPECT_EQ(rig.Settings.GetInternetConnectionType(), 0);
}

} // namespace

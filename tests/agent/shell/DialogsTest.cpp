// The About box and the message detail dialog: their texts from the settings, the account info and
// the message store, read-only fields, and what a screen reader and the keyboard reach.

#include "agent/shell/AboutDialog.h"
#include "agent/shell/MessageDetailDialog.h"
#include "agent/shell/SendMessageDialog.h"
#include "tests/agent/shell/DialogTestRig.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vandu::test;

namespace {

TEST(AboutDialog, ShowsIdNumberNameAndVersion)
{
    struct Row {
        const char* Name;
        bool UserInfo;
        QString TollFree;
        QString FullName;
    };
    const Row rows[] = {
        {"before the first user-info answer", false, "1-888-VANDU-42", " "},
        {"after it", true, "1-800-555-0100", "Bob Ray"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        CDialogRig rig;
        if (row.UserInfo) {
            rig.Job.Account.SetUserInfo(1, "Bob", "Ray", "1-800-555-0100", "127.0.0.1");
        }
        CAboutDialog dialog(rig.Services());
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "About Vandu");
        EXPECT_EQ(dialog.IdValue()->text(), "5551234567");
        EXPECT_EQ(dialog.TollFreeValue()->text(), row.TollFree);
        EXPECT_EQ(dialog.NameValue()->text(), row.FullName);
        EXPECT_EQ(dialog.VersionLabel()->text(), "Version 4.2 (Build 0719)");
        ASSERT_FALSE(dialog.Picture()->pixmap().isNull());
        EXPECT_EQ(dialog.Picture()->pixmap().size(), QSize(82, 201));
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
}

class MessageDetailTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_rig.Job.Account.SetUserInfo(1, "Bob", "Ray", "", "");
        m_rig.Job.Store->AddDownloadedMessage("3/15/1999", "19:05:00", 1, "5550001", "Carl", "", "v1.wav", "", "", "");
        m_rig.Job.Store->AddDownloadedMessage("12/31/1999", "23:30:00", 3, "", "",
            "Lunch at 12 & \xC3\xA9t\xC3\xA9 (from: Ann Lee)", "", "5557654321", "Ann", "Lee");
        m_rig.Job.Store->CurrentMessage();
    }

    CDialogRig m_rig;
};

TEST_F(MessageDetailTest, TextsOfTheCurrentMessage)
{
    struct Row {
        const char* Name;
        QString Received;
        QString From;
        QString Body;
    };
    const Row rows[] = {
        {"voice message", "19:05 03/15/1999", "5550001", "Voice Message"},
        {"text from a subscriber", "23:30 12/31/1999", "5557654321 Ann Lee",
            QString::fromUtf8("Lunch at 12 & \xC3\xA9t\xC3\xA9 (from: Ann Lee)")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        CMessageDetailDialog dialog(m_rig.Services());
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "Detail");
        EXPECT_EQ(dialog.TopBox()->toPlainText(), "ID: 5551234567 (Bob Ray)");
        EXPECT_EQ(dialog.ReceivedField()->text(), row.Received);
        EXPECT_EQ(dialog.FromField()->text(), row.From);
        EXPECT_EQ(dialog.Body()->toPlainText(), row.Body);
        for (QWidget* field : std::initializer_list<QWidget*> {
                 dialog.TopBox(), dialog.ReceivedField(), dialog.FromField(), dialog.Body()}) {
            EXPECT_TRUE(field->property("readOnly").toBool());
        }
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        m_rig.Job.Store->NextMessage();
    }
    EXPECT_EQ(CMessageDetailDialog::TopText("7", "A", "B"), "ID: 7 (A B)\r\n");
}

// Every field is announced by its visible label (or a name of its own), every button by its text,
// and Tab reaches every edit field and button (the About box's values are static texts).
TEST(DialogAccessibility, FieldsAreLabelledAndReachable)
{
    CDialogRig rig;
    rig.Job.Store->AddDownloadedMessage("1/2/2000", "3:04:05", 2, "5550002", "", "Hi", "", "", "", "");
    rig.Job.Store->CurrentMessage();
    SAgentServices services = rig.Services();
    struct Row {
        const char* Name;
        std::function<std::unique_ptr<QDialog>()> Make;
        QStringList Names; // of the edit fields
        int TabStops; // fields and buttons Tab reaches
    };
    const Row rows[] = {
        {"about", [&] { return std::make_unique<CAboutDialog>(services); }, {}, 1},
        {"detail", [&] { return std::make_unique<CMessageDetailDialog>(services); },
            {"Subscriber", "Received at:", "From:", "Message"}, 5},
        {"send", [&] { return std::make_unique<CSendMessageDialog>(services); }, {"Correspondent Vandu ID", "Message"},
            4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::unique_ptr<QDialog> dialog = row.Make();
        dialog->show();
        QStringList fieldNames;
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget)) {
                fieldNames.append(AccessibleName(widget));
            }
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_EQ(AccessibleName(button), button->text().remove('&'));
            }
        }
        for (const QString& name : row.Names) {
            EXPECT_TRUE(fieldNames.contains(name)) << name.toStdString();
        }
        // Tab visits each focusable field and button once before coming back.
        QWidget* start = dialog->focusWidget();
        ASSERT_NE(start, nullptr);
        int stops = 0;
        QWidget* at = start;
        do {
            at = at->nextInFocusChain();
            stops += (at->focusPolicy() & Qt::TabFocus) && at->isVisible() ? 1 : 0;
        } while (at != start && stops < 50);
        EXPECT_EQ(stops, row.TabStops);
    }
}

} // namespace

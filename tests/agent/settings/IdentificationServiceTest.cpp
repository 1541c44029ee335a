// The Identification page's OK against the real reference service: an unchanged ID and password
// send nothing (the service's database shows no request from the subscriber), a changed password
// is checked with the service.

#include "agent/settings/VanduSettingsPageIdentification.h"
#include "agent/settings/VanduSettingsPropertySheet.h"
#include "server/ServiceStore.h"
#include "tests/agent/settings/SheetRig.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vandu::test;

namespace {

constexpr const char* kId = "5551234567";

// Where the subscriber's latest authenticated request came from; empty while none arrived.
std::string LastAddress(const std::string& db)
{
    vandu::server::CServiceStore store;
    EXPECT_EQ(store.Open(db), 0);
    const auto subscriber = store.FindSubscriber(kId);
    return subscriber ? subscriber->LastAddress : "<no subscriber>";
}

void OkWithPassword(CSheetRig& rig, const char* password)
{
    CVanduSettingsPropertySheet sheet(rig.Services, {});
    sheet.findChild<QLineEdit*>("password")->setText(QString::fromLatin1(password));
    sheet.Buttons()->button(QDialogButtonBox::Ok)->click();
}

TEST(IdentificationServiceTest, UnchangedSendsNothingChangedIsChecked)
{
    TempDir data;
    CVanduService service(data.Path());
    VANDU_REQUIRE_PEER(service.Running(), "vandu-service");
    ASSERT_EQ(service.Admin({"add-subscriber", kId, "1234", "Ann", "Lee", "ann@example.com"}), 0);
    CServiceHome home(service.Home());
    CServiceJob job;
    CSheetRig rig(&job);
    CConnectionState connection(rig.Settings);
    job.SetInputs(&rig.Store, &rig.Settings, &connection, &rig.Account);
    rig.Settings.SetVanduID(kId);
    rig.Settings.SetPassword("1234");
    rig.Forget();

    OkWithPassword(rig, "1234");
    EXPECT_TRUE(rig.Backend.Writes.empty());
    EXPECT_EQ(LastAddress(data.File("service.db")), "") << "a request reached the service";

    rig.Account.SetLoginOk(1);
    OkWithPassword(rig, "9999");
    EXPECT_EQ(rig.Account.GetLoginOk(), 0);
    EXPECT_EQ(rig.Prompts.Shown(), std::vector<std::string> {CVanduSettingsPageIdentification::kInvalidText});
    EXPECT_EQ(rig.Settings.GetPassword(), "9999");

    rig.Forget();
    OkWithPassword(rig, "1234");
    EXPECT_EQ(rig.Account.GetLoginOk(), 1);
    EXPECT_TRUE(rig.Prompts.Shown().empty());
    EXPECT_EQ(LastAddress(data.File("service.db")), "127.0.0.1");
    EXPECT_EQ(rig.Runner.Runs(), 2);
}

} // namespace

#include "common/QtSettingsBackend.h"
#include "agent/settings/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>

using vandu::test::ReadFile;
using vandu::test::TempDir;

namespace {

class QtSettingsBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.Path()));
    }

    std::string File() const { return dir.Path() + "/Vandu/Vandu.conf"; }

    TempDir dir;
    CQtSettingsBackend backend;
    CSettingsStore store {backend, [] { return std::pair {1920, 1080}; }};
};

TEST_F(QtSettingsBackendTest, ValuesLandInTheMainSectionOfAPrivateFile)
{
    EXPECT_EQ(CQtSettingsBackend::FilePath().toStdString(), File());
    store.SetVanduID("5551234567");
    store.SetXPos(321);
    store.SetPassword("1234");
    const std::string text = ReadFile(File());
    EXPECT_NE(text.find("[Main]"), std::string::npos);
    EXPECT_NE(text.find("VanduID=5551234567"), std::string::npos);
    EXPECT_NE(text.find("XPos=321"), std::string::npos);
    EXPECT_EQ(text.find("Channel=1234"), std::string::npos) << "password stored in clear";
    EXPECT_NE(text.find("Channel="), std::string::npos);
    EXPECT_EQ(vandu::test::FileMode(File()), 0600);
    EXPECT_EQ(store.GetVanduID(), "5551234567");
    EXPECT_EQ(store.GetXPos(), 321);
    EXPECT_EQ(store.GetPassword(), "1234");
}

TEST_F(QtSettingsBackendTest, EveryReadSeesWhatAnotherWriterPutInTheFile)
{
    store.SetColor(3);
    EXPECT_EQ(store.GetColor(), 3);
    // Another program rewrites the file behind our back.
    vandu::test::WriteFile(File(), "[Main]\nColor=11\nVanduID=42\nBeep=0\n");
    EXPECT_EQ(store.GetColor(), 11);
    EXPECT_EQ(store.GetVanduID(), "42");
    EXPECT_FALSE(store.GetBeep());
}

TEST_F(QtSettingsBackendTest, TextWhereANumberBelongsReadsAsTheDefault)
{
    vandu::test::WriteFile(File(), "[Main]\nXPos=abc\nPopPeriod=3x\nBeep=yes\nInternetConnectionType=\n");
    EXPECT_EQ(store.GetXPos(), 100);
    EXPECT_EQ(store.GetPopPeriod(), 5);
    EXPECT_TRUE(store.GetBeep());
    EXPECT_EQ(store.GetInternetConnectionType(), 1);
}

TEST_F(QtSettingsBackendTest, StringsWithSeparatorsAndUtf8RoundTrip)
{
    for (const std::string& value : {std::string("a, b, c"), std::string("C:\\Tools\\Web.exe -new"),
             std::string("/home/j\xc3\xbcrgen/ding.wav"), std::string("x=y;z"), std::string("  padded  ")}) {
        SCOPED_TRACE(value);
        store.SetPopUser(value);
        EXPECT_EQ(store.GetPopUser(), value);
    }
}

TEST_F(QtSettingsBackendTest, FailedWriteLeavesTheOtherValuesIntact)
{
    store.SetVanduID("5551234567");
    store.SetColor(4);
    const std::string before = ReadFile(File());
    // The child may write nothing larger than a few bytes: the rewrite of the file fails.
    const int rc = vandu::test::RunWithWriteLimit(8, [this] {
        store.SetWebBrowser(std::string(4096, 'x'));
        return 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile(File()), before);
    EXPECT_EQ(store.GetVanduID(), "5551234567");
    EXPECT_EQ(store.GetColor(), 4);
}

TEST_F(QtSettingsBackendTest, RemoveAllDeletesTheFileAndItsFolder)
{
    store.SetHidden(1);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(File())));
    EXPECT_TRUE(CQtSettingsBackend::RemoveAll());
    EXPECT_FALSE(vandu::test::PathExists(File()));
    EXPECT_FALSE(vandu::test::PathExists(dir.Path() + "/Vandu"));
    EXPECT_FALSE(store.GetHidden());
}

} // namespace

#include "agent/settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    CMemorySettingsBackend backend;
    CSettingsStore store {backend, [] { return std::pair {1024, 768}; }};

    std::string StoredString(const char* name)
    {
        auto raw = backend.Raw(name);
        return raw && std::holds_alternative<std::string>(*raw) ? std::get<std::string>(*raw) : "<none>";
    }
    int StoredInt(const char* name)
    {
        auto raw = backend.Raw(name);
        return raw && std::holds_alternative<int32_t>(*raw) ? std::get<int32_t>(*raw) : -999;
    }
};

TEST_F(SettingsStoreTest, EveryDefaultWithNoValueStored)
{
    EXPECT_TRUE(store.IsFirstTime());
    EXPECT_TRUE(store.GetBeep());
    EXPECT_TRUE(store.GetBringUpNewMsg());
    EXPECT_EQ(store.GetInternetConnectionType(), 1);
    EXPECT_EQ(store.GetXPos(), 100);
    EXPECT_EQ(store.GetYPos(), 100);
    EXPECT_EQ(store.GetPopPeriod(), 5);
    EXPECT_TRUE(store.IsPasswordSaved());
    for (const std::string& text : {store.GetVanduID(), store.GetPassword(), store.GetProxyName(), store.GetProxyPort(),
             store.GetWebBrowser(), store.GetWaveNewMsg(), store.GetInstallDir(), store.GetSponsorID(),
             store.GetPopServer(), store.GetPopUser(), store.GetPopPassword()}) {
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(store.GetColor(), 0);
    EXPECT_EQ(store.GetLCDColor(), 0);
    EXPECT_EQ(store.GetAudioType(), 0);
    EXPECT_FALSE(store.GetTopMost());
    EXPECT_FALSE(store.GetAutomaticPlay());
    EXPECT_FALSE(store.GetHidden());
    EXPECT_FALSE(store.GetPopEnabled());
    EXPECT_FALSE(store.GetTCPCheck());
}

TEST_F(SettingsStoreTest, PopPeriodKeptAtOneMinuteOrMore)
{
    store.SetPopPeriod(0);
    EXPECT_EQ(StoredInt("PopPeriod"), 5);
    backend.WriteInt("PopPeriod", -3);
    EXPECT_EQ(store.GetPopPeriod(), 5);
    backend.WriteInt("PopPeriod", 1);
    EXPECT_EQ(store.GetPopPeriod(), 1);
    store.SetPopPeriod(7);
    EXPECT_EQ(StoredInt("PopPeriod"), 7);
}

TEST_F(SettingsStoreTest, PositionFallsBackWhenOffScreen)
{
    struct Row {
        int stored;
        int x;
        int y;
    };
    for (Row row : {Row {1024, 100, 1024 < 768 ? 1024 : 100}, Row {1023, 1023, 100}, Row {768, 768, 100},
             Row {767, 767, 767}, Row {-40, -40, -40}}) {
        SCOPED_TRACE(row.stored);
        store.SetXPos(row.stored);
        store.SetYPos(row.stored);
        EXPECT_EQ(store.GetXPos(), row.x);
        EXPECT_EQ(store.GetYPos(), row.y);
    }
}

TEST_F(SettingsStoreTest, FlagsAreTrueOnlyForOne)
{
    for (int stored : {0, 1, 2, -1}) {
        SCOPED_TRACE(stored);
        store.SetTopMost(stored);
        store.SetBeep(stored);
        store.SetHidden(stored);
        store.SetTCPCheck(stored);
        EXPECT_EQ(store.GetTopMost(), stored == 1);
        EXPECT_EQ(store.GetBeep(), stored == 1);
        EXPECT_EQ(store.GetHidden(), stored == 1);
        EXPECT_EQ(store.GetTCPCheck(), stored == 1);
    }
}

TEST_F(SettingsStoreTest, PasswordSavedIsTheInverseOfAskVanduID)
{
    store.SetPasswordSaved(false);
    EXPECT_EQ(StoredInt("AskVanduID"), 1);
    EXPECT_FALSE(store.IsPasswordSaved());
    store.SetPasswordSaved(true);
    EXPECT_EQ(StoredInt("AskVanduID"), 0);
    backend.WriteInt("AskVanduID", 7);
    EXPECT_FALSE(store.IsPasswordSaved());
}

TEST_F(SettingsStoreTest, PasswordsAreStoredScrambled)
{
    store.SetPassword("4711");
    const std::string stored = StoredString("Channel");
    ASSERT_EQ(stored.size(), 4u);
    for (char c : stored) {
        EXPECT_GE(c, '#');
        EXPECT_LE(c, '~');
    }
    EXPECT_NE(stored, "4711");
    EXPECT_EQ(store.GetPassword(), "4711");

    store.SetPopPassword("secret#~");
    EXPECT_NE(StoredString("PopPassword"), "secret#~");
    EXPECT_EQ(store.GetPopPassword(), "secret#~");

    store.SetPassword("");
    EXPECT_EQ(StoredString("Channel"), "");
    EXPECT_EQ(store.GetPassword(), "");
}

TEST(ScrambleTextTest, KnownValuesAndRange)
{
    // (k - d) mod 92 + 35 with the key "318264705": '1' under '3' gives 2 + 35.
    EXPECT_EQ(CSettingsStore::ScrambleText("1", "318264705"), std::string(1, static_cast<char>(37)));
    EXPECT_EQ(CSettingsStore::ScrambleText("3", "318264705"), "#");
    // Every byte, high ones included, maps into '#'..'~'; printable ones survive two passes.
    for (int c = 0; c < 256; ++c) {
        const std::string once = CSettingsStore::ScrambleText(std::string(1, static_cast<char>(c)), "318264705");
        ASSERT_EQ(once.size(), 1u);
        EXPECT_GE(once[0], '#') << c;
        EXPECT_LE(once[0], '~') << c;
        if (c >= 35 && c <= 126) {
            EXPECT_EQ(CSettingsStore::ScrambleText(once, "318264705"), std::string(1, static_cast<char>(c)));
        }
    }
    const std::string longText = "0123456789abcdefXYZ";
    EXPECT_EQ(CSettingsStore::ScrambleText(CSettingsStore::ScrambleText(longText, "318264705"), "318264705"), longText);
}

TEST_F(SettingsStoreTest, TrimmedValuesLoseSurroundingWhiteSpace)
{
    const std::string padded = " \t proxy.example \r\n\v\f";
    store.SetProxyName(padded);
    store.SetProxyPort("  8080 ");
    store.SetWaveNewMsg("   ");
    store.SetInstallDir(" /opt/vandu\t");
    store.SetVanduID(" 4711 ");
    store.SetPopServer(" pop ");
    store.SetPopUser(" me ");
    store.SetSponsorID(" 7 ");
    EXPECT_EQ(store.GetProxyName(), "proxy.example");
    EXPECT_EQ(StoredString("ProxyName"), padded);
    EXPECT_EQ(store.GetProxyPort(), "8080");
    EXPECT_EQ(store.GetWaveNewMsg(), "");
    EXPECT_EQ(store.GetInstallDir(), "/opt/vandu");
    EXPECT_EQ(store.GetVanduID(), " 4711 ");
    EXPECT_EQ(store.GetPopServer(), " pop ");
    EXPECT_EQ(store.GetPopUser(), " me ");
    EXPECT_EQ(store.GetSponsorID(), " 7 ");
}

TEST_F(SettingsStoreTest, ValueOfTheWrongKindReadsAsDefault)
{
    backend.WriteString("Beep", "1");
    backend.WriteString("XPos", "300");
    backend.WriteInt("VanduID", 5);
    EXPECT_TRUE(store.GetBeep());
    EXPECT_EQ(store.GetXPos(), 100);
    EXPECT_EQ(store.GetVanduID(), "");
}

TEST_F(SettingsStoreTest, FirstTimeCanBeRemoved)
{
    store.SetFirstTime(0);
    EXPECT_FALSE(store.IsFirstTime());
    store.RemoveFirstTime();
    EXPECT_TRUE(store.IsFirstTime());
}

// Rows: what is stored (nothing when absent), what the counter uses and what the page offers.
TEST_F(SettingsStoreTest, PopSecurityAndPort)
{
    struct Row {
        const char* name;
        std::optional<int32_t> security;
        const char* server;
        const char* port;
        int32_t readsAs;
        int32_t pageOffers;
        int portNumber;
    };
    const Row rows[] = {
        {"existing user, nothing stored", std::nullopt, "pop.example", nullptr, 0, 0, 110},
        {"new user", std::nullopt, nullptr, nullptr, 0, 1, 110},
        {"new user, blank server", std::nullopt, "  ", nullptr, 0, 1, 110},
        {"plain chosen without a server", 0, nullptr, nullptr, 0, 0, 110},
        {"TLS", 1, "pop.example", "", 1, 1, 995},
        {"STARTTLS", 2, "pop.example", nullptr, 2, 2, 110},
        {"damaged value", 7, "pop.example", nullptr, 1, 1, 995},
        {"own port", 1, "pop.example", " 2995 ", 1, 1, 2995},
        {"highest port", 0, "pop.example", "65535", 0, 0, 65535},
        {"port 0", 1, "pop.example", "0", 1, 1, 995},
        {"port too large", 2, "pop.example", "99999999999999", 2, 2, 110},
        {"port not a number", 1, "pop.example", "-99", 1, 1, 995},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CMemorySettingsBackend fresh;
        CSettingsStore settings {fresh, [] { return std::pair {1024, 768}; }};
        if (row.security) {
            settings.SetPopSecurity(*row.security);
        }
        if (row.server) {
            settings.SetPopServer(row.server);
        }
        if (row.port) {
            settings.SetPopPort(row.port);
        }
        EXPECT_EQ(settings.GetPopSecurity(), row.readsAs);
        EXPECT_EQ(settings.GetPopSecurityChoice(), row.pageOffers);
        EXPECT_EQ(settings.GetPopPortNumber(), row.portNumber);
    }
}

TEST(FileExistsTest, EmptyMissingAndReadable)
{
    EXPECT_FALSE(CSettingsStore::FileExists(""));
    EXPECT_FALSE(CSettingsStore::FileExists("/nonexistent/vandu/file.wav"));
    EXPECT_TRUE(CSettingsStore::FileExists("/proc/self/status"));
}

} // namespace

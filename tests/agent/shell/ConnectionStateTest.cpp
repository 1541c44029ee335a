#include "agent/shell/ConnectionState.h"

#include "agent/settings/SettingsStore.h"
#include "tests/agent/shell/DialupRig.h"

#include <gtest/gtest.h>

namespace {

using vandu::test::DialupRig;

TEST(ConnectionStateTest, ReachabilityByConnectionType)
{
    struct Row {
        const char* name;
        int connectionType;
        bool linkUp;
        bool onlineBefore;
        bool reachable;
        bool onlineAfter;
    };
    const Row rows[] = {
        {"dial-up, link up", 1, true, false, true, true},
        {"dial-up, link still dialling", 1, false, true, false, false},
        {"network, link down is not looked at", 0, false, false, true, false},
        {"network keeps the flag the jobs wrote", 0, false, true, true, true},
        {"proxy, link down is not looked at", 2, false, false, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DialupRig rig;
        rig.SetLinkUp(row.linkUp);
        CMemorySettingsBackend backend;
        CSettingsStore settings(backend, [] { return std::pair {1024, 768}; });
        settings.SetInternetConnectionType(row.connectionType);
        CConnectionState state(settings, rig.Roots());
        state.SetOnline(row.onlineBefore);
        EXPECT_EQ(state.IsInternetReachable(), row.reachable);
        EXPECT_EQ(state.IsOnline(), row.onlineAfter);
    }
}

TEST(ConnectionStateTest, DialupIsAskedAfreshAndTheConnectionTypeReadEachTime)
{
    DialupRig rig;
    CMemorySettingsBackend backend;
    CSettingsStore settings(backend, [] { return std::pair {1024, 768}; });
    settings.SetInternetConnectionType(1);
    CConnectionState state(settings, rig.Roots());
    EXPECT_TRUE(state.IsInternetReachable());
    rig.SetLinkUp(false);
    EXPECT_FALSE(state.IsInternetReachable());
    settings.SetInternetConnectionType(0);
    EXPECT_TRUE(state.IsInternetReachable());
    EXPECT_FALSE(state.IsOnline());
}

} // namespace

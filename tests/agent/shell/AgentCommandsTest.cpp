#include "agent/shell/AgentCommands.h"
#include "agent/shell/TrayState.h"
#include "agent/shell/WindowPlacement.h"
#include "agent/skin/FaceLayout.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

using namespace vandu::commands;
namespace face = vandu::face;

namespace {

TEST(AgentCommandsTest, MenuHoldsFifteenItemsInOrderWithSeparatorsBetweenGroups)
{
    std::vector<int> ids;
    std::set<int> unique;
    for (const SMenuItem& item : kPopupMenu) {
        ids.push_back(item.id);
        if (item.id != 0) {
            unique.insert(item.id);
        }
    }
    const std::vector<int> expected {ID_SHOW, ID_HIDE_WINDOW, 0, ID_PROPERTIES, 0, ID_DELETE_MESSAGE, ID_DELETE_ALL,
        ID_SEND_MESSAGE, ID_REPLY, 0, ID_ACCESS_CENTER_PAGE, ID_EDIT_PROFILE, ID_CALL_FORWARD, ID_RECORD_GREETING, 0,
        ID_VIEW_INFORMATION, ID_VISIT_WEB_SITE, 0, ID_ONLINE_HELP, ID_ABOUT, 0, ID_EXIT};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(unique.size(), 16u);
}

TEST(AgentCommandsTest, EnablingRulesFollowTheWindowAndTheMessages)
{
    struct Row {
        const char* name;
        SMenuState state;
        std::set<int> disabled;
    };
    const Row rows[] = {
        {"visible, no messages", {true, 0, false}, {ID_SHOW, ID_DELETE_MESSAGE, ID_DELETE_ALL, ID_REPLY}},
        {"hidden, no messages", {false, 0, false}, {ID_HIDE_WINDOW, ID_DELETE_MESSAGE, ID_DELETE_ALL, ID_REPLY}},
        {"visible, a phone message", {true, 2, false}, {ID_SHOW, ID_REPLY}},
        {"hidden, a text with a sender", {false, 1, true}, {ID_HIDE_WINDOW}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const SMenuItem& item : kPopupMenu) {
            if (item.id != 0) {
                EXPECT_EQ(IsEnabled(item.rule, row.state), row.disabled.count(item.id) == 0) << item.text;
            }
        }
    }
}

TEST(AgentCommandsTest, PagesCarryIdPasswordAndTokAsStored)
{
    const SPageContext context {"5551234567", "1234", "http://svc/cgi-bin/", "http://svc/asp/misc/", "http://svc"};
    struct Row {
        int command;
        const char* url;
    };
    const Row rows[] = {
        {ID_ACCESS_CENTER_PAGE, "http://svc/cgi-bin/MessageManager.dll?OLLogin&VanduID=5551234567&Password=1234"},
        {face::ID_ACCESS_CENTER, "http://svc/cgi-bin/MessageManager.dll?OLLogin&VanduID=5551234567&Password=1234"},
        {ID_EDIT_PROFILE,
            "http://svc/cgi-bin/MessageManager.dll?OLLogin&VanduID=5551234567&Password=1234&Destination=OLSettings"},
        {ID_RECORD_GREETING,
            "http://svc/cgi-bin/MessageManager.dll?OLLogin&VanduID=5551234567&Password=1234&Destination=OLGreeting"},
        {ID_CALL_FORWARD, "http://svc/asp/misc/cfwd-signup1.asp?VanduID=5551234567&Tok=8638"},
        {ID_ONLINE_HELP, "http://svc/asp/misc/help.asp?VanduID=5551234567&Tok=8638"},
        {face::ID_HELP, "http://svc/asp/misc/help.asp?VanduID=5551234567&Tok=8638"},
        {ID_VISIT_WEB_SITE, "http://svc"},
        {ID_ABOUT, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        EXPECT_EQ(PageUrl(PageOf(row.command), context), row.url);
    }
}

TEST(AgentCommandsTest, TokIsSevenTimesTheLeadingNumber)
{
    struct Row {
        const char* password;
        std::string tok;
    };
    const Row rows[] = {{"1234", "8638"}, {"9999", "69993"}, {"0000", "0"}, {"abcd", "0"}, {"", "0"}, {"12ab", "84"},
        {" 12", "84"}, {"-3", "-21"}, {"99999999999", std::to_string(static_cast<long long>(INT_MAX) * 7)}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.password);
        EXPECT_EQ(Tok(row.password), row.tok);
    }
}

TEST(AgentCommandsTest, FaceZonesAndTheirTexts)
{
    EXPECT_EQ(ZoneAt(29, 60), FaceZone::Lcd);
    EXPECT_EQ(ZoneAt(193, 117), FaceZone::Lcd);
    EXPECT_EQ(ZoneAt(100, 118), FaceZone::None);
    EXPECT_EQ(ZoneAt(100, 119), FaceZone::Banner);
    EXPECT_EQ(ZoneAt(193, 134), FaceZone::Banner);
    EXPECT_EQ(ZoneAt(194, 134), FaceZone::None);
    EXPECT_EQ(ZoneAt(0, 0), FaceZone::LogoCorner);
    EXPECT_EQ(ZoneAt(28, 27), FaceZone::None);

    EXPECT_EQ(BannerUrl("", "http://svc"), "http://svc");
    EXPECT_EQ(BannerUrl("http://vendor.example/", "http://svc"), "http://vendor.example/");
    EXPECT_EQ(BannerTooltip("", "svc.example"), "Visit svc.example");
    EXPECT_EQ(BannerTooltip(std::string(100, 'x'), "svc"), std::string(79, 'x'));
    EXPECT_EQ(LogoCornerTooltip("svc.example"), "Double-click here to visit svc.example");
}

TEST(TrayStateTest, TooltipCountsTheUnreadMessages)
{
    EXPECT_EQ(CTrayState::Tooltip(-1), "Sorry, no new message");
    EXPECT_EQ(CTrayState::Tooltip(0), "Sorry, no new message");
    EXPECT_EQ(CTrayState::Tooltip(1), "1 new message");
    EXPECT_EQ(CTrayState::Tooltip(2), "2 new messages");
    EXPECT_EQ(CTrayState::NormalIcon(true), face::kTrayOnlineIcon);
    EXPECT_EQ(CTrayState::NormalIcon(false), face::kTrayOfflineIcon);
}

TEST(TrayStateTest, BlinksWhileUnreadAndPausesDuringRequests)
{
    CTrayState tray;
    EXPECT_EQ(tray.BlinkTick(0, false), std::nullopt);
    EXPECT_EQ(tray.BlinkTick(1, false), face::kTrayBlinkIcon1);
    EXPECT_EQ(tray.BlinkTick(1, false), face::kTrayBlinkIcon0);
    EXPECT_EQ(tray.BlinkTick(1, true), std::nullopt);
    EXPECT_EQ(tray.BlinkPhase(), 0);
    EXPECT_EQ(tray.BlinkTick(3, false), face::kTrayBlinkIcon1);
    // An update shows the normal icon but keeps the phase: the next tick goes on from it.
    EXPECT_EQ(tray.Update(3, true).iconId, face::kTrayOnlineIcon);
    EXPECT_EQ(tray.BlinkTick(3, false), face::kTrayBlinkIcon0);
}

TEST(WindowPlacementTest, StoredPositionStandsWhileEnoughOfTheWindowIsReachable)
{
    using vandu::placement::ReachablePosition;
    const std::vector<face::Rect> screens {{0, 0, 1024, 768}, {1024, 0, 2048, 768}};
    struct Row {
        const char* name;
        face::Point stored;
        face::Point expected;
    };
    const Row rows[] = {
        {"inside", {100, 100}, {100, 100}},
        {"on the second screen", {1500, 300}, {1500, 300}},
        {"32 pixels left on the right edge", {2016, 10}, {2016, 10}},
        {"31 pixels left", {2017, 10}, {100, 100}},
        {"above every screen", {10, -150}, {100, 100}},
        {"far away", {-99999, -99999}, {100, 100}},
        {"at the end of the range", {INT_MAX, INT_MAX}, {100, 100}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const face::Point place = ReachablePosition(row.stored, 234, 169, screens);
        EXPECT_EQ(place.x, row.expected.x);
        EXPECT_EQ(place.y, row.expected.y);
    }
    EXPECT_EQ(ReachablePosition({-5000, 7}, 234, 169, {}).x, -5000);
}

} // namespace

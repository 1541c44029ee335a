#include "agent/shell/AgentCommands.h"

#include "agent/skin/FaceLayout.h"
#include "common/StringTable.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>

namespace vandu::commands {
namespace {

constexpr size_t kTooltipLimit = 79;

bool Inside(const face::Rect& rect, int x, int y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

} // namespace

bool IsEnabled(EnableRule rule, const SMenuState& state)
{
    switch (rule) {
    case EnableRule::Always:
        return true;
    case EnableRule::WindowHidden:
        return !state.windowVisible;
    case EnableRule::WindowVisible:
        return state.windowVisible;
    case EnableRule::HasMessages:
        return state.messageCount > 0;
    case EnableRule::CanReply:
        return state.canReply;
    }
    return false;
}

EnableRule RuleOf(int commandId)
{
    for (const SMenuItem& item : kPopupMenu) {
        if (item.id != 0 && item.id == commandId) {
            return item.rule;
        }
    }
    return EnableRule::Always;
}

Page PageOf(int commandId)
{
    switch (commandId) {
    case ID_ACCESS_CENTER_PAGE:
    case face::ID_ACCESS_CENTER:
        return Page::AccessCenter;
    case ID_EDIT_PROFILE:
        return Page::EditProfile;
    case ID_RECORD_GREETING:
        return Page::RecordGreeting;
    case ID_CALL_FORWARD:
        return Page::CallForward;
    case ID_ONLINE_HELP:
    case face::ID_HELP:
        return Page::OnlineHelp;
    case ID_VISIT_WEB_SITE:
        return Page::HomePage;
    default:
        return Page::None;
    }
}

std::string PageUrl(Page page, const SPageContext& context)
{
    const std::string login
        = context.cgiBase + "MessageManager.dll?OLLogin&VanduID=" + context.vanduId + "&Password=" + context.password;
    switch (page) {
    case Page::AccessCenter:
        return login;
    case Page::EditProfile:
        return login + "&Destination=OLSettings";
    case Page::RecordGreeting:
        return login + "&Destination=OLGreeting";
    case Page::CallForward:
        return context.aspBase + "cfwd-signup1.asp?VanduID=" + context.vanduId + "&Tok=" + Tok(context.password);
    case Page::OnlineHelp:
        return context.aspBase + "help.asp?VanduID=" + context.vanduId + "&Tok=" + Tok(context.password);
    case Page::HomePage:
        return context.homePage;
    case Page::None:
        break;
    }
    return {};
}

// Read like the C library's atoi: blanks, a sign, then digits; saturated instead of overflowing.
std::string Tok(const std::string& password)
{
    size_t at = 0;
    while (at < password.size() && std::isspace(static_cast<unsigned char>(password[at]))) {
        ++at;
    }
    bool negative = false;
    if (at < password.size() && (password[at] == '+' || password[at] == '-')) {
        negative = password[at] == '-';
        ++at;
    }
    int64_t value = 0;
    for (; at < password.size() && std::isdigit(static_cast<unsigned char>(password[at])); ++at) {
        value = std::min<int64_t>(value * 10 + (password[at] - '0'), INT_MAX);
    }
    return std::to_string((negative ? -value : value) * 7);
}

FaceZone ZoneAt(int x, int y)
{
    if (Inside(face::kLcdRect, x, y)) {
        return FaceZone::Lcd;
    }
    if (Inside(face::kBannerRect, x, y)) {
        return FaceZone::Banner;
    }
    if (Inside(face::kLogoCornerRect, x, y)) {
        return FaceZone::LogoCorner;
    }
    return FaceZone::None;
}

std::string BannerUrl(const std::string& vendorUrl, const std::string& homePage)
{
    return vendorUrl.empty() ? homePage : vendorUrl;
}

std::string BannerTooltip(const std::string& vendorDesc, const std::string& hostName)
{
    if (vendorDesc.empty()) {
        return "Visit " + hostName;
    }
    return vendorDesc.substr(0, kTooltipLimit);
}

std::string LogoCornerTooltip(const std::string& hostName)
{
    return strings::LoadResourceString(strings::IDS_TIP_LOGO) + " " + hostName;
}

} // namespace vandu::commands

#pragma once

// The agent's commands as data: the popup menu's items with their texts, accelerator texts and
// enabling rules, the web page each page command opens, the hit areas of the window's face with
// their double-click pages and tooltip texts. The Qt side only shows what these decide. Qt-free.

#include <string>

namespace vandu::commands {

// Menu command ids (the skin buttons' ids are vandu::face::Command).
enum CommandId : int {
    ID_SHOW = 32771,
    ID_HIDE_WINDOW = 32772,
    ID_PROPERTIES = 32774,
    ID_ABOUT = 32775,
    ID_ONLINE_HELP = 32776,
    ID_SEND_MESSAGE = 32777,
    ID_EXIT = 32778,
    ID_DELETE_MESSAGE = 32779,
    ID_DELETE_ALL = 32780,
    ID_VIEW_INFORMATION = 32783,
    ID_VISIT_WEB_SITE = 32784,
    ID_REPLY = 32785,
    ID_ACCESS_CENTER_PAGE = 32786,
    ID_RECORD_GREETING = 32788,
    ID_CALL_FORWARD = 32789,
    ID_EDIT_PROFILE = 32790,
};

enum class EnableRule { Always, WindowHidden, WindowVisible, HasMessages, CanReply };

// One line of the popup menu; id 0 is a separator.
struct SMenuItem {
    int id;
    const char* text;
    const char* accelerator; // shown right of the text; nullptr for none
    EnableRule rule;
};

inline constexpr SMenuItem kPopupMenu[] = {
    {ID_SHOW, "Show", nullptr, EnableRule::WindowHidden},
    {ID_HIDE_WINDOW, "Hide", nullptr, EnableRule::WindowVisible},
    {0, nullptr, nullptr, EnableRule::Always},
    {ID_PROPERTIES, "Properties...", nullptr, EnableRule::Always},
    {0, nullptr, nullptr, EnableRule::Always},
    {ID_DELETE_MESSAGE, "Delete message...", "Del", EnableRule::HasMessages},
    {ID_DELETE_ALL, "Delete all messages...", nullptr, EnableRule::HasMessages},
    {ID_SEND_MESSAGE, "Send a message...", nullptr, EnableRule::Always},
    {ID_REPLY, "Reply to message...", nullptr, EnableRule::CanReply},
    {0, nullptr, nullptr, EnableRule::Always},
    {ID_ACCESS_CENTER_PAGE, "Access Vandu center", nullptr, EnableRule::Always},
    {ID_EDIT_PROFILE, "Edit profile", nullptr, EnableRule::Always},
    {ID_CALL_FORWARD, "About call forward on busy", nullptr, EnableRule::Always},
    {ID_RECORD_GREETING, "Record your greeting", nullptr, EnableRule::Always},
    {0, nullptr, nullptr, EnableRule::Always},
    {ID_VIEW_INFORMATION, "View current information...", nullptr, EnableRule::Always},
    {ID_VISIT_WEB_SITE, "Visit Vandu web site", nullptr, EnableRule::Always},
    {0, nullptr, nullptr, EnableRule::Always},
    {ID_ONLINE_HELP, "Online help", "F1", EnableRule::Always},
    {ID_ABOUT, "About...", nullptr, EnableRule::Always},
    {0, nullptr, nullptr, EnableRule::Always},
    {ID_EXIT, "Exit", nullptr, EnableRule::Always},
};

// What the enabling rules look at, taken each time the menu opens.
struct SMenuState {
    bool windowVisible = false;
    int messageCount = 0;
    // The current message exists and has a sender ID.
    bool canReply = false;
};

bool IsEnabled(EnableRule rule, const SMenuState& state);
// The rule of a menu command; Always for ids not in the menu.
EnableRule RuleOf(int commandId);

// The web pages commands open.
enum class Page { None, AccessCenter, EditProfile, RecordGreeting, CallForward, OnlineHelp, HomePage };

// The page a menu or skin command opens; None for the others.
Page PageOf(int commandId);

// What a page's address is built from: the stored ID and password, and the service's bases.
struct SPageContext {
    std::string vanduId;
    std::string password;
    std::string cgiBase; // ends in "cgi-bin/"
    std::string aspBase; // ends in "asp/misc/"
    std::string homePage; // scheme and host
};

// The address of a page; ID and password go in as stored, without URL encoding.
std::string PageUrl(Page page, const SPageContext& context);
// 7 times the password's leading decimal number, in decimal; "0" when it starts with no digit.
std::string Tok(const std::string& password);

// The areas of the face that react to double-clicks and show tooltips.
enum class FaceZone { None, Lcd, Banner, LogoCorner };
FaceZone ZoneAt(int x, int y);

// The banner's page: the vendor's address, or the service's home page when there is none.
std::string BannerUrl(const std::string& vendorUrl, const std::string& homePage);
// The banner's tooltip: the vendor's description cut to 79 characters, or "Visit <host>".
std::string BannerTooltip(const std::string& vendorDesc, const std::string& hostName);
// The logo corner's tooltip: its string followed by a blank and the host name.
std::string LogoCornerTooltip(const std::string& hostName);

} // namespace vandu::commands

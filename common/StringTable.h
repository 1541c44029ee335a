#pragma once

// The programs' string table: every text they load by numeric id (tooltips, skin names, message
// boxes, sheet and wizard captions). Qt-free. Texts that name the service's web site are kept
// without it: the caller appends a blank and the host name (see the id's comment).

#include <string>

namespace vandu::strings {

enum StringId : int {
    IDS_PROPERTIES_CAPTION = 102,
    IDS_INSTALLER_CAPTION = 103,
    IDS_SELECT_CONNECTION = 105,
    IDS_WIZARD_CAPTION = 108,
    IDS_APP_TITLE = 57344,
    IDS_TIP_PREVIOUS = 57345,
    IDS_TIP_NEXT = 57346,
    IDS_TIP_LOGO = 57349, // followed by a blank and the service's host name
    IDS_TIP_MENU = 57350,
    IDS_NO_GSM_CODEC = 57353,
    IDS_SKIN_RED = 57355,
    IDS_SKIN_GREEN = 57356,
    IDS_SKIN_OFFICE = 57357,
    IDS_SKIN_PINK = 57358,
    IDS_SKIN_BLUE = 57359,
    IDS_TIP_ACCESS_CENTER = 57360,
    IDS_SKIN_WOOD = 57361,
    IDS_SKIN_STONE = 57362,
    IDS_SKIN_YELLOW = 57363,
    IDS_SKIN_LIGHT_WOOD = 57364,
    IDS_SKIN_ORANGE = 57365,
    IDS_SKIN_AMERICAN_FLAG = 57366,
    IDS_SKIN_WATER = 57367,
    IDS_SKIN_COW = 57368,
    IDS_SKIN_LIGHT_BLUE = 57369,
    IDS_TIP_PLAY = 57370,
    IDS_TIP_STOP = 57371,
    IDS_TIP_HIDE = 57372,
    IDS_SKIN_CANDY = 57373,
    IDS_SKIN_MULTICOLOR = 57374,
    IDS_TIP_DELETE = 57375,
    IDS_TIP_HELP = 57376,
};

// The text of a string id, or an empty string when the table has no such id.
std::string LoadResourceString(int id);
bool HasResourceString(int id);

} // namespace vandu::strings

#include "common/StringTable.h"

namespace vandu::strings {
namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr const char* kNoGsmCodec
    = "Vandu has detected that the Microsoft GSM 6.10 Audio CODEC driver is not installed.\n"
      "You need to install this driver in order to listen to the voice messages.\n\n"
      "To install the Microsoft GSM 6.10 Audio CODEC driver, please follow these steps:\n\n"
      "o In Control Panel, double-click Add New Hardware\n"
      "o Click Next, click No, and then click Next\n"
      "o Select Sound, video, and game controllers, and then click Next\n"
      "o Select Microsoft Audio CODECS in the Manufacturers box, and GSM 6.10 Audio CODEC in the Models box\n"
      "o Click Next, and then click Finish";

constexpr Entry kEntries[] = {
    {IDS_PROPERTIES_CAPTION, "Vandu Properties"},
    {IDS_INSTALLER_CAPTION, "Vandu"},
    {IDS_SELECT_CONNECTION, "Please, select your type of Internet connection."},
    {IDS_WIZARD_CAPTION, "Wizard"},
    {IDS_APP_TITLE, "Vandu"},
    {IDS_TIP_PREVIOUS, "Previous message"},
    {IDS_TIP_NEXT, "Next message"},
    {IDS_TIP_LOGO, "Double-click here to visit"},
    {IDS_TIP_MENU, "Show menu"},
    {IDS_NO_GSM_CODEC, kNoGsmCodec},
    {IDS_SKIN_RED, "Red"},
    {IDS_SKIN_GREEN, "Green"},
    {IDS_SKIN_OFFICE, "Office"},
    {IDS_SKIN_PINK, "Pink"},
    {IDS_SKIN_BLUE, "Blue"},
    {IDS_TIP_ACCESS_CENTER, "Access Vandu center"},
    {IDS_SKIN_WOOD, "Wood"},
    {IDS_SKIN_STONE, "Stone"},
    {IDS_SKIN_YELLOW, "Yellow"},
    {IDS_SKIN_LIGHT_WOOD, "Light Wood"},
    {IDS_SKIN_ORANGE, "Orange"},
    {IDS_SKIN_AMERICAN_FLAG, "American Flag"},
    {IDS_SKIN_WATER, "Water"},
    {IDS_SKIN_COW, "Cow"},
    {IDS_SKIN_LIGHT_BLUE, "Light Blue"},
    {IDS_TIP_PLAY, "Play voice message"},
    {IDS_TIP_STOP, "Stop voice message"},
    {IDS_TIP_HIDE, "Hide Vandu"},
    {IDS_SKIN_CANDY, "Candy"},
    {IDS_SKIN_MULTICOLOR, "Multicolor"},
    {IDS_TIP_DELETE, "Delete current message"},
    {IDS_TIP_HELP, "Help"},
};

const Entry* Find(int id)
{
    for (const Entry& entry : kEntries) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

std::string LoadResourceString(int id)
{
    const Entry* entry = Find(id);
    return entry != nullptr ? std::string(entry->text) : std::string();
}

bool HasResourceString(int id)
{
    return Find(id) != nullptr;
}

} // namespace vandu::strings

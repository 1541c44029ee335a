#include "agent/skin/SkinTable.h"

#include "agent/skin/FaceLayout.h"

namespace vandu::skin {

int FaceBitmapForColor(int color)
{
    if (color < 0 || color >= kSkinCount)
        return kDefaultFaceBitmap;
    return kSkins[color].faceBitmap;
}

int NameStringForColor(int color)
{
    if (color < 0 || color >= kSkinCount)
        return 0;
    return kSkins[color].nameString;
}

int LcdBackgroundForColor(int lcdColor)
{
    if (lcdColor < 0 || lcdColor >= face::kLcdBackgroundCount)
        return 0;
    return face::kLcdBackgrounds[lcdColor];
}

} // namespace vandu::skin

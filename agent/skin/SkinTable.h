#pragma once

// The 16 colour skins: the Color setting is the index; each has a face bitmap resource and a name
// in the string table. Any index outside the table selects the red skin. Qt-free.

#include "common/StringTable.h"

namespace vandu::skin {

inline constexpr int kSkinCount = 16;
inline constexpr int kDefaultFaceBitmap = 137;

struct SkinEntry {
    int faceBitmap;
    int nameString;
};

inline constexpr SkinEntry kSkins[kSkinCount] = {
    {137, strings::IDS_SKIN_RED},
    {245, strings::IDS_SKIN_BLUE},
    {247, strings::IDS_SKIN_YELLOW},
    {246, strings::IDS_SKIN_PINK},
    {257, strings::IDS_SKIN_LIGHT_BLUE},
    {256, strings::IDS_SKIN_GREEN},
    {258, strings::IDS_SKIN_OFFICE},
    {260, strings::IDS_SKIN_ORANGE},
    {244, strings::IDS_SKIN_WOOD},
    {250, strings::IDS_SKIN_LIGHT_WOOD},
    {243, strings::IDS_SKIN_STONE},
    {253, strings::IDS_SKIN_AMERICAN_FLAG},
    {255, strings::IDS_SKIN_COW},
    {261, strings::IDS_SKIN_CANDY},
    {263, strings::IDS_SKIN_MULTICOLOR},
    {262, strings::IDS_SKIN_WATER},
};

// Face bitmap resource of a Color value (137 for any value outside 0..15).
int FaceBitmapForColor(int color);
// String id of the skin's name, or 0 outside 0..15.
int NameStringForColor(int color);
// LCD background resource of an LCDColor value (0 green 162, 1 light blue 203, 2 amber 201), or 0
// for any other value, which keeps the previous background.
int LcdBackgroundForColor(int lcdColor);

} // namespace vandu::skin

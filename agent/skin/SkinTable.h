#pragma once

// The 16 colour skins: the Color setting is the index; each has a face bitmap resource and a name
// in the string table. Any index outside the table selects the red skin. Qt-free.

namespace vandu::skin {

inline constexpr int kSkinCount = 16;
inline constexpr int kDefaultFaceBitmap = 137;

struct SkinEntry {
    int faceBitmap;
    int nameString;
};

inline constexpr SkinEntry kSkins[kSkinCount] = {
    {137, 57355},
    {245, 57359},
    {247, 57363},
    {246, 57358},
    {257, 57369},
    {256, 57356},
    {258, 57357},
    {260, 57365},
    {244, 57361},
    {250, 57364},
    {243, 57362},
    {253, 57366},
    {255, 57368},
    {261, 57373},
    {263, 57374},
    {262, 57367},
};

// Face bitmap resource of a Color value (137 for any value outside 0..15).
int FaceBitmapForColor(int color);
// String id of the skin's name, or 0 outside 0..15.
int NameStringForColor(int color);
// LCD background resource of an LCDColor value (0 green 162, 1 light blue 203, 2 amber 201), or 0
// for any other value, which keeps the previous background.
int LcdBackgroundForColor(int lcdColor);

} // namespace vandu::skin

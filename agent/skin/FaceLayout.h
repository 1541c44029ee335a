#pragma once

// Geometry and resource ids of the main window's face: where every picture, button and area sits.
// The window, the settings preview, the contact-sheet tool and the tests all read this one table.
// Qt-free.

#include "common/StringTable.h"

namespace vandu::face {

struct Point {
    int x;
    int y;
};

// Rectangles are given as left, top, right, bottom with right and bottom excluded.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

inline constexpr int kWindowWidth = 234;
inline constexpr int kWindowHeight = 169;

inline constexpr int kFaceWidth = 225;
inline constexpr int kFaceHeight = 160;

// The outline: an ellipse whose upper part is the rounded top, minus a polygon whose upper edge is
// the wavy bottom edge (alternate fill).
inline constexpr Rect kShapeEllipse {4, 4, 227, 245};
inline constexpr int kShapePolygonCount = 22;
inline constexpr Point kShapePolygon[kShapePolygonCount] = {{0, 162}, {6, 144}, {11, 153}, {16, 158}, {20, 160},
    {26, 161}, {38, 161}, {81, 152}, {99, 149}, {126, 149}, {146, 151}, {195, 161}, {207, 161}, {211, 160}, {217, 156},
    {221, 152}, {224, 145}, {250, 145}, {250, 162}, {250, 170}, {0, 170}, {0, 162}};

// Areas of the window that react to the mouse or show pictures.
inline constexpr Rect kLcdRect {29, 60, 194, 118};
inline constexpr Rect kBannerRect {29, 119, 194, 135};
inline constexpr Rect kLogoCornerRect {0, 0, 28, 28};

inline constexpr int kLcdWidth = 165;
inline constexpr int kLcdHeight = 58;
// Row of the one-pixel black line under the title strip of every LCD background.
inline constexpr int kLcdTitleLineRow = 14;

inline constexpr int kBannerWidth = 165;
inline constexpr int kBannerHeight = 16;

// Bitmap resources besides the faces.
inline constexpr int kOverlayBitmap = 181; // drawn at (0,0) with white transparent
inline constexpr int kOverlayWidth = 196;
inline constexpr int kOverlayHeight = 138;
inline constexpr int kVendorBitmap = 248; // default vendor strip, drawn at the banner's corner
inline constexpr int kSponsorBitmap = 131;
inline constexpr int kSponsorWidth = 150;
inline constexpr int kSponsorHeight = 75;
inline constexpr int kSidePictureBitmap = 198;
inline constexpr int kSidePictureBitmap2 = 129;
inline constexpr int kSidePictureWidth = 82;
inline constexpr int kSidePictureHeight = 201;

// LCD backgrounds by the LCDColor setting: 0 green, 1 light blue, 2 amber.
inline constexpr int kLcdBackgroundCount = 3;
inline constexpr int kLcdBackgrounds[kLcdBackgroundCount] = {162, 203, 201};

// Icons: program icon and the tray icons.
inline constexpr int kProgramIcon = 128;
inline constexpr int kTrayOnlineIcon = 167;
inline constexpr int kTrayOfflineIcon = 170;
inline constexpr int kTrayBlinkIcon0 = 168;
inline constexpr int kTrayBlinkIcon1 = 169;

// Command ids the skin buttons send to the main window.
enum Command : int {
    ID_HIDE = 6024,
    ID_PREVIOUS = 6025,
    ID_NEXT = 6026,
    ID_PLAY = 6027,
    ID_STOP = 6028,
    ID_MENU = 6029,
    ID_SCROLL_UP = 6030,
    ID_SCROLL_DOWN = 6031,
    ID_ACCESS_CENTER = 6032,
    ID_DELETE = 6033,
    ID_HELP = 6034,
};

struct ButtonSpec {
    int normalBitmap;
    int pressedBitmap; // 0 for single-bitmap buttons
    Point position; // in window pixels; also the offset into the face bitmap
    int command;
    int tooltipString; // 0 when the button has no tooltip
};

inline constexpr int kFaceButtonCount = 9;
inline constexpr ButtonSpec kFaceButtons[kFaceButtonCount] = {
    {211, 212, {64, 14}, ID_PREVIOUS, strings::IDS_TIP_PREVIOUS},
    {213, 214, {112, 14}, ID_NEXT, strings::IDS_TIP_NEXT},
    {218, 219, {48, 29}, ID_PLAY, strings::IDS_TIP_PLAY},
    {216, 217, {86, 29}, ID_STOP, strings::IDS_TIP_STOP},
    {220, 221, {112, 29}, ID_HIDE, strings::IDS_TIP_HIDE},
    {270, 269, {136, 29}, ID_DELETE, strings::IDS_TIP_DELETE},
    {222, 223, {136, 42}, ID_MENU, strings::IDS_TIP_MENU},
    {238, 239, {34, 42}, ID_ACCESS_CENTER, strings::IDS_TIP_ACCESS_CENTER},
    {268, 272, {112, 42}, ID_HELP, strings::IDS_TIP_HELP},
};

// The LCD's scroll arrows (7 x 7, single bitmap, drawn over the LCD image).
inline constexpr ButtonSpec kScrollUpButton {224, 0, {185, 76}, ID_SCROLL_UP, 0};
inline constexpr ButtonSpec kScrollDownButton {225, 0, {185, 110}, ID_SCROLL_DOWN, 0};
inline constexpr int kScrollArrowSize = 7;

// Bitmaps the settings and LCD code never names, listed so the resource set stays complete.
inline constexpr int kSpareButtonBitmaps[] = {215, 271};

} // namespace vandu::face

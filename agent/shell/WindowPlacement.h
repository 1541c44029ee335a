#pragma once

// Where the main window goes at start: the stored position, unless that leaves the window out of
// the user's reach on every screen (a screen removed, a hand-edited position), when it goes to the
// default corner for this run. The stored values themselves are left alone. Qt-free.

#include "agent/skin/FaceLayout.h"

#include <vector>

namespace vandu::placement {

// At least this much of the window must lie on one screen's available area.
inline constexpr int kMinimumVisible = 32;
inline constexpr face::Point kDefaultPosition {100, 100};

// screens: each screen's available area (without panels), left, top, right and bottom excluded.
// Without any screen the stored position stands.
face::Point ReachablePosition(face::Point stored, int width, int height, const std::vector<face::Rect>& screens);

} // namespace vandu::placement

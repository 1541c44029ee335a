#include "agent/shell/WindowPlacement.h"

#include <algorithm>

namespace vandu::placement {

face::Point ReachablePosition(face::Point stored, int width, int height, const std::vector<face::Rect>& screens)
{
    if (screens.empty()) {
        return stored;
    }
    // 64-bit: hand-edited positions may sit near the ends of the int range.
    const long long left = stored.x;
    const long long top = stored.y;
    for (const face::Rect& screen : screens) {
        const long long overlapWidth
            = std::min<long long>(left + width, screen.right) - std::max<long long>(left, screen.left);
        const long long overlapHeight
            = std::min<long long>(top + height, screen.bottom) - std::max<long long>(top, screen.top);
        if (overlapWidth >= kMinimumVisible && overlapHeight >= kMinimumVisible) {
            return stored;
        }
    }
    return kDefaultPosition;
}

} // namespace vandu::placement

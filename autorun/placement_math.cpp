#include "autorun/placement_math.h"

#include <algorithm>

namespace {

// One axis of the placement. Computed in 64 bits so that extreme rectangles
// cannot overflow; C++ division truncates toward zero, which is the rounding
// the placement promises (a half-difference of -5 gives -2).
std::int64_t PlaceAxis(std::int64_t windowStart, std::int64_t windowEnd, std::int64_t areaStart, std::int64_t areaEnd,
                       std::int64_t refStart, std::int64_t refEnd, bool hasReference, std::int64_t iconSize)
{
    const std::int64_t size = windowEnd - windowStart;
    std::int64_t pos = refStart + ((refEnd - refStart) - size) / 2;
    if (hasReference && pos < refStart + iconSize) {
        pos = refStart + iconSize;
    }
    // The start edge wins: a window larger than the area keeps its top-left
    // corner visible and runs past the far edge. That holds also when the
    // margin below a reference has moved the window right of the area's
    // start, where pulling its far edge back alone would push the corner
    // (and a dialog's title bar) off the screen.
    if (pos < areaStart) {
        pos = areaStart;
    } else if (pos + size > areaEnd) {
        pos = std::max(areaEnd - size, areaStart);
    }
    return pos;
}

std::int32_t Narrow(std::int64_t value)
{
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

Point CenteredPosition(const Rect& window, const Rect& workArea, const Rect* reference, std::int32_t smallIconWidth,
                       std::int32_t smallIconHeight)
{
    const Rect& ref = reference ? *reference : workArea;
    Point pos;
    pos.x = Narrow(PlaceAxis(window.left, window.right, workArea.left, workArea.right, ref.left, ref.right,
                             reference != nullptr, smallIconWidth));
    pos.y = Narrow(PlaceAxis(window.top, window.bottom, workArea.top, workArea.bottom, ref.top, ref.bottom,
                             reference != nullptr, smallIconHeight));
    return pos;
}

// Where a window goes when it is centred on the work area or on a reference
// window and kept inside the work area. Platform-free arithmetic.
#pragma once

#include "autorun/menu.h"

#include <cstdint>

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The top-left corner for `window` (its current screen rectangle) centred on
// `reference` (or on `workArea` when reference is null), at least one small
// icon right of and below a reference's corner, then pushed inside `workArea`.
Point CenteredPosition(const Rect& window, const Rect& workArea, const Rect* reference, std::int32_t smallIconWidth,
                       std::int32_t smallIconHeight);

// Which hotspots lie over earlier ones (a click there reaches only the
// earlier one), found in time and memory that grow with the number of
// hotspots rather than with the number of overlapping pairs: a menu index of
// a hundred thousand identical lines has some five billion of them.
#pragma once

#include "autorun/menu.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct OverlapSearch {
    // (rectangle, the first earlier rectangle it overlaps), in order, at
    // most `limit` of them.
    std::vector<std::pair<std::size_t, std::size_t>> found;
    bool more = false;          // further rectangles overlap earlier ones
    bool complete = true;       // false: the work bound ran out before all were compared
    std::size_t stoppedAt = 0;  // when not complete: the first rectangle not compared
};

// `rects` in line order, none of them empty or inverted. `workBound` caps the
// comparisons, so that no arrangement can keep the checker busy for long.
OverlapSearch FindOverlaps(const std::vector<Rect>& rects, std::size_t limit, std::uint64_t workBound);

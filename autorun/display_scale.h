// The menu at a display scale other than 100 %: hotspots, pictures and the
// files stay in 100 % pixels ("menu pixels"); the window works in the
// physical pixels of its monitor. Platform-free: the window asks these
// functions and carries the answers out.
#pragma once

#include "autorun/menu.h"

#include <cstdint>

// 100 %: the scale every menu is drawn for, and the only one a program
// without the opt-in ever uses.
constexpr unsigned BaseDpi = 96;
// 200 %: the scale of a menu's second picture (NAME@2x).
constexpr unsigned DoubleDpi = 2 * BaseDpi;

// A length or coordinate of menu pixels at `dpi`, rounded to the nearest
// pixel (halves up), so neighbouring hotspots stay neighbours.
std::int32_t ToPhysical(std::int32_t menuPixels, unsigned dpi);
Rect ToPhysical(const Rect& rect, unsigned dpi);
// The menu pixel that a physical pixel lies in: the exact inverse of
// ToPhysical for edges, so a point is in a scaled rectangle exactly when its
// menu pixel is in the rectangle.
std::int32_t ToMenuPixel(std::int32_t physical, unsigned dpi);

// Which picture shows a menu at `dpi`, and whether it is drawn as stored or
// resampled to the menu's size at that scale.
enum class PictureSource { Base, Double };
struct PictureChoice {
    PictureSource source = PictureSource::Base;
    bool resampled = false;
};
// 100 % draws the 100 % picture as it is, and nothing else is touched. Any
// other scale prefers the 200 % picture (as it is at 200 %, shrunk between),
// and enlarges the 100 % picture only for a menu that has none.
PictureChoice ChoosePicture(unsigned dpi, bool hasDouble);

// The scale a window of this program works at: its monitor's, for a program
// that opted in; 100 % otherwise, and for a scale the system cannot report.
unsigned EffectiveDpi(unsigned monitorDpi, bool optedIn);

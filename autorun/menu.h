// The records that describe the menu screens: platform-free, shared by the
// loader, the interaction logic, the window and the commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// A rectangle in client or screen coordinates, edges in the order of the
// platform's RECT; the Win32 glue converts field by field.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// One clickable rectangle: its edges come first, then the command word and its
// argument from the menu-index line.
struct Hotspot : Rect {
    std::string command;
    std::string argument;
    int line = 0;      // where its line starts in the menu index, so that a checker can point at it
    std::string name;  // what a screen reader says for it; empty when the vendor gave none
};

// Laid out like the platform's BITMAP; only width and height are used.
struct BitmapInfo {
    std::int32_t type = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytesPerRow = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitsPerPixel = 0;
    void* bits = nullptr;
};

struct Menu {
    std::string title;
    std::string name;
    std::string country;
    std::string resource;       // the name of its index and its bitmap
    int line = 0;               // where its line starts in the main index
    std::uintptr_t bitmap = 0;  // bitmap handle, held for the whole run
    BitmapInfo bitmapInfo;
    std::vector<Hotspot> hotspots;
};

// Filled once at start-up and never reordered or shrunk: a deque keeps the
// references of earlier menus valid while later ones are appended.
using Menus = std::deque<Menu>;

// A position in the menu list; NoMenu when a lookup found nothing.
using MenuPosition = std::size_t;
constexpr MenuPosition NoMenu = static_cast<MenuPosition>(-1);

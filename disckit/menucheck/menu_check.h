// The menu checker: loads the menus of every language with autorun's own
// loader, over the resource sources instead of a program file, and reports
// what autorun would report at run time and what it would silently accept
// although it is almost always an author's mistake.
#pragma once

#include "autorun/menu.h"
#include "disckit/menucheck/bmp_header.h"
#include "disckit/menucheck/diagnostic.h"

#include <string>
#include <vector>

struct CheckOptions {
    std::string resourceDir;
    std::string script = "menus.rc";  // relative to resourceDir unless absolute
    std::vector<std::string> includeDirs;
    std::string discDir;  // empty: the targets of start commands are not looked up
};

struct CheckedHotspot {
    Hotspot hotspot;
    int line = 0;
};

// One menu that autorun would load, with where each part came from.
struct CheckedMenu {
    std::string language;
    std::string name;
    std::string country;
    std::string title;
    std::string resource;
    std::string mainIndexFile;
    int mainIndexLine = 0;
    std::string indexFile;
    std::string bitmapFile;
    BmpHeader bitmap;
    std::string doubleFile;  // its 200 % picture; empty when it has none
    BmpHeader doubleBitmap;  // width 0 unless that picture is exactly twice `bitmap`
    std::vector<CheckedHotspot> hotspots;
};

struct CheckResult {
    std::vector<Diagnostic> diagnostics;
    std::vector<CheckedMenu> menus;  // in main-index order
};

CheckResult CheckMenus(const CheckOptions& options);

// The keyboard focus order of a menu: the positions of its hotspots that can
// take the focus (every command but "close"), in line order.
std::vector<std::size_t> FocusOrder(const std::vector<CheckedHotspot>& hotspots);

// What the About box says, line by line. Platform-free: the dialog reads the
// facts (the build date in the user's own format needs the platform's
// locale), lays the lines out and shows them; the publisher line is part of
// the dialog's template.
#pragma once

#include "autorun/menu.h"

#include <string>

struct AboutFacts {
    std::string aboutText;        // the build's about text
    std::string copyrightFormat;  // the copyright line, "%d" standing for the year
    bool buildTimeRead = false;   // false when the program file's time stamp could not be read
    std::string buildDate;        // the build date as the user writes dates; "" when unknown
    int buildYear = 0;
    int currentYear = 0;
};

struct AboutContent {
    std::string title;      // the first menu's title, shown in bold
    std::string text;       // the about text with the build date in brackets
    std::string copyright;  // the copyright line with the year
};

// The year is the build's, or the current one when the build time is
// unknown, so the copyright line never shows a bogus one.
AboutContent MakeAboutContent(const Menus& menus, const AboutFacts& facts);

#include "autorun/about_content.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MakeAboutContent, TitleTextWithBuildDateAndCopyrightWithTheBuildOrCurrentYear)
{
    Menus menus(2);
    menus[0].title = "Velmora Studio 7";
    menus[1].title = "Extras";
    AboutFacts facts;
    facts.aboutText = "Version 7.1";
    facts.copyrightFormat = "Copyright %d Velmora";
    facts.buildTimeRead = true;
    facts.buildDate = "03.11.2026";
    facts.buildYear = 2026;
    facts.currentYear = 2031;

    const AboutContent built = MakeAboutContent(menus, facts);
    EXPECT_EQ(built.title, "Velmora Studio 7");
    EXPECT_EQ(built.text, "Version 7.1 (03.11.2026)");
    EXPECT_EQ(built.copyright, "Copyright 2026 Velmora");

    // No time stamp: no date, and this year rather than a bogus one.
    facts.buildTimeRead = false;
    const AboutContent unknown = MakeAboutContent(Menus{}, facts);
    EXPECT_EQ(unknown.title, "");
    EXPECT_EQ(unknown.text, "Version 7.1 ()");
    EXPECT_EQ(unknown.copyright, "Copyright 2031 Velmora");

    // A line longer than any first guess comes out whole.
    facts.copyrightFormat = std::string(300, 'x') + " %d";
    EXPECT_EQ(MakeAboutContent(menus, facts).copyright, std::string(300, 'x') + " 2031");
}

}  // namespace

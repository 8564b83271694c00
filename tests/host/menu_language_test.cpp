#include "autorun/menu_language.h"
#include "autorun/single_instance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Languages = std::vector<std::string>;

TEST(MenuLanguagesToTry, ExactlyOneLangValueElseTheInterfacesThenEnglish)
{
    EXPECT_EQ(MenuLanguagesToTry("de", CommandLine("")), (Languages{"de", "en"}));
    EXPECT_EQ(MenuLanguagesToTry("de", CommandLine("-lang:pl")), (Languages{"pl", "en"}));
    EXPECT_EQ(MenuLanguagesToTry("de", CommandLine("/lang:en")), (Languages{"en", "en"}));
    // No value, two values, another spelling of the name: unchanged.
    for (const char* text : {"-lang", "-lang:", "-lang:pl,en", "-LANG:pl", "-language:pl"})
        EXPECT_EQ(MenuLanguagesToTry("de", CommandLine(text)), (Languages{"de", "en"})) << text;
    EXPECT_EQ(MenuLanguagesToTry("", CommandLine("")), (Languages{"", "en"}));
}

TEST(CodePageOfLanguage, TheKitsTableWith1252ForTheRest)
{
    EXPECT_EQ(CodePageOfLanguage("pl"), 1250u);
    EXPECT_EQ(CodePageOfLanguage("PL"), 1250u);
    EXPECT_EQ(CodePageOfLanguage("sr"), 1250u);
    EXPECT_EQ(CodePageOfLanguage("ru"), 1251u);
    EXPECT_EQ(CodePageOfLanguage("el"), 1253u);
    EXPECT_EQ(CodePageOfLanguage("th"), 874u);
    EXPECT_EQ(CodePageOfLanguage("ko"), 949u);
    for (const char* language : {"en", "de", "xx", "", "p", "pl ru", "l", "plx"})
        EXPECT_EQ(CodePageOfLanguage(language), 1252u) << language;
}

TEST(InstanceMutexName, BackslashesAndAsciiCapitalsOnly)
{
    EXPECT_EQ(InstanceMutexName("D:\\AUTORUN.EXE"), "d:_autorun.exe");
    EXPECT_EQ(InstanceMutexName("\\\\?\\E:\\Setup\\Autorun.exe"), "__?_e:_setup_autorun.exe");
    // Bytes of the upper half are letters of some code page, left alone.
    EXPECT_EQ(InstanceMutexName("Q:\\\xC4RGER/X.exe"), "q:_\xC4rger/x.exe");
    EXPECT_EQ(InstanceMutexName(""), "");
}

}  // namespace

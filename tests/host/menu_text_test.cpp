#include "autorun/load_problem.h"
#include "autorun/menu_text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Resources as a program file would hold them, and everything reported.
class FakeResources : public MenuResources {
public:
    std::map<std::string, std::string> texts;
    std::map<std::string, BitmapInfo> bitmaps;
    std::map<std::string, std::string> names;
    std::vector<LoadProblem> problems;
    std::vector<std::string> textRequests;

    bool LoadText(const std::string& name, std::string& out) override
    {
        textRequests.push_back(name);
        auto found = texts.find(name);
        if (found == texts.end())
            return false;
        out = found->second;
        return true;
    }
    bool LoadBitmap(const std::string& name, Menu& menu) override
    {
        auto found = bitmaps.find(name);
        if (found == bitmaps.end())
            return false;
        menu.bitmap = 0x1000 + bitmaps.size();
        menu.bitmapInfo = found->second;
        return true;
    }
    void Report(const LoadProblem& problem) override { problems.push_back(problem); }
    bool LoadNames(const std::string& name, std::string& out) override
    {
        auto found = names.find(name);
        if (found == names.end())
            return false;
        out = found->second;
        return true;
    }

    void AddMenu(const std::string& name, const std::string& index)
    {
        texts[name] = index;
        BitmapInfo info;
        info.width = 600;
        info.height = 450;
        info.bitsPerPixel = 24;
        bitmaps[name] = info;
    }
    // What autorun would write to its standard output.
    std::string AllMessages() const
    {
        std::string all;
        for (const LoadProblem& problem : problems)
            all += FormatLoadProblem(problem);
        return all;
    }
    // The records themselves, one readable line each.
    std::vector<std::string> Records() const
    {
        std::vector<std::string> records;
        for (const LoadProblem& problem : problems)
            records.push_back(Record(problem));
        return records;
    }
    static std::string Record(const LoadProblem& problem)
    {
        static const char* const Kinds[] = {"NoMainIndex", "BadMainIndexLine", "NoMenuIndex", "NoMenuBitmap",
                                            "BadMenuIndexLine"};
        return std::string(Kinds[static_cast<int>(problem.kind)]) + " " + problem.resource + " @" +
               std::to_string(problem.lineNumber) + " [" + problem.line + "]";
    }
};

const char* const ShippedIndex =
    "75;163;258;206;execute;software\\pdfreader\\docrunner.exe manual\\manual-de.pdf\r\n"
    "75;214;279;257;execute;software\\pdfreader\\docrunner.exe manual\\produktblatt.pdf\r\n"
    "584;5;595;16;close;\r\n";

FakeResources Shipped()
{
    FakeResources resources;
    resources.texts["menu"] =
        "en;;;menu-en;Brenna Netquill 4412\r\n"
        "de;;;menu-de;Brenna Netquill 4412\r\n";
    resources.AddMenu("menu-en", ShippedIndex);
    resources.AddMenu("menu-de", ShippedIndex);
    return resources;
}

// A literal with its embedded NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

}  // namespace

// ---- SplitString ------------------------------------------------------------

TEST(SplitString, EmptyTextGivesOneEmptyFieldWhateverTheLimit)
{
    for (std::size_t limit : {0u, 1u, 5u}) {
        std::vector<std::string> out;
        EXPECT_EQ(SplitString(";", "", out, limit), 1u);
        EXPECT_EQ(out, std::vector<std::string>{""});
    }
}

TEST(SplitString, LimitKeepsTheRestInTheLastField)
{
    std::vector<std::string> out;
    EXPECT_EQ(SplitString(";", "a;b;c;d;e;f", out, 5), 5u);
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b", "c", "d", "e;f"}));

    std::vector<std::string> one;
    EXPECT_EQ(SplitString(";", "a;b", one, 1), 1u);
    EXPECT_EQ(one, std::vector<std::string>{"a;b"});
}

TEST(SplitString, EmptyFieldsBetweenAndAfterDelimiters)
{
    std::vector<std::string> out;
    EXPECT_EQ(SplitString(";", ";a;;b;", out, 0), 5u);
    EXPECT_EQ(out, (std::vector<std::string>{"", "a", "", "b", ""}));
}

TEST(SplitString, AppendsToWhatIsThereAndCountsOnlyNewFields)
{
    std::vector<std::string> out{"old"};
    EXPECT_EQ(SplitString(";", "x;y", out, 0), 2u);
    EXPECT_EQ(out, (std::vector<std::string>{"old", "x", "y"}));
}

TEST(SplitString, MultiByteDelimiterNeedsAllItsBytes)
{
    std::vector<std::string> out;
    EXPECT_EQ(SplitString("\r\n", "a\nb\rc\r\nd\r\n", out, 0), 3u);
    EXPECT_EQ(out, (std::vector<std::string>{"a\nb\rc", "d", ""}));

    // Overlapping candidates: the first complete match wins.
    std::vector<std::string> cr;
    SplitString("\r\n", "\r\r\n\n", cr, 0);
    EXPECT_EQ(cr, (std::vector<std::string>{"\r", "\n"}));
}

TEST(SplitString, KeepsEmbeddedNulBytes)
{
    std::vector<std::string> out;
    SplitString(";", Bytes("a\0b;c"), out, 0);
    EXPECT_EQ(out, (std::vector<std::string>{std::string("a\0b", 3), "c"}));
}

// ---- IndexReader --------------------------------------------------------------

namespace {

std::vector<IndexRecord> ReadAll(const std::string& text, std::size_t fieldCount)
{
    IndexReader reader(text, fieldCount);
    std::vector<IndexRecord> records;
    for (IndexRecord record; reader.Next(record);)
        records.push_back(record);
    return records;
}

}  // namespace

TEST(IndexReader, CutsCrLfLinesIntoFieldsAndSkipsEmptyLines)
{
    const std::vector<IndexRecord> records = ReadAll("\r\na;b;c\r\n\r\nshort\r\nx;y;z;rest;of;it", 3);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].line, "a;b;c");
    EXPECT_EQ(records[0].number, 2);
    EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(records[0].complete);
    EXPECT_EQ(records[1].line, "short");
    EXPECT_EQ(records[1].number, 4);
    EXPECT_EQ(records[1].fields, std::vector<std::string>{"short"});
    EXPECT_FALSE(records[1].complete);
    EXPECT_EQ(records[2].number, 5);
    EXPECT_EQ(records[2].fields, (std::vector<std::string>{"x", "y", "z;rest;of;it"}));
    EXPECT_TRUE(records[2].complete);
}

TEST(IndexReader, LoneCrOrLfStaysInTheLineButLfCountsAsAnEditorsLine)
{
    const std::vector<IndexRecord> records = ReadAll("a;b\nc;d\r\ne\rf;g\r\n \r\n\n\r\nh;i", 2);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].line, "a;b\nc;d");
    EXPECT_EQ(records[0].number, 1);
    EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a", "b\nc;d"}));
    EXPECT_EQ(records[1].line, "e\rf;g");
    EXPECT_EQ(records[1].number, 3);
    EXPECT_EQ(records[2].line, " ");  // blanks make a line
    EXPECT_EQ(records[2].number, 4);
    EXPECT_FALSE(records[2].complete);
    EXPECT_EQ(records[3].line, "\n");
    EXPECT_EQ(records[3].number, 5);
    EXPECT_EQ(records[4].line, "h;i");
    EXPECT_EQ(records[4].number, 7);
}

TEST(IndexReader, NothingButLineEndsGivesNoRecord)
{
    for (const char* text : {"", "\r\n", "\r\n\r\n\r\n"})
        EXPECT_TRUE(ReadAll(text, 5).empty()) << text;
}

TEST(IndexReader, ReusedRecordHoldsOnlyTheCurrentLine)
{
    const std::string text = "1;2;3;4;5;6\r\nx\r\n";
    IndexReader reader(text, 6);
    IndexRecord record;
    ASSERT_TRUE(reader.Next(record));
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.line, "x");
    EXPECT_EQ(record.fields, std::vector<std::string>{"x"});
    EXPECT_FALSE(record.complete);
    EXPECT_FALSE(reader.Next(record));
    EXPECT_FALSE(reader.Next(record));
}

// ---- LoadProblem ----------------------------------------------------------------

namespace {

LoadProblem Problem(LoadProblemKind kind, const std::string& resource, const std::string& line = "", int lineNumber = 0)
{
    LoadProblem problem;
    problem.kind = kind;
    problem.resource = resource;
    problem.line = line;
    problem.lineNumber = lineNumber;
    return problem;
}

}  // namespace

TEST(LoadProblem, EachKindFormatsAsAutorunWritesIt)
{
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::NoMainIndex, "menu")),
              "error: can't load main index from resources\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::BadMainIndexLine, "menu", "de;x;;DAMAGED-GOOD", 1)),
              "error: invalid line in main index:\nde;x;;DAMAGED-GOOD\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::BadMainIndexLine, "menu", "fr", 3)),
              "error: invalid line in main index:\nfr\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::NoMenuIndex, "NO-INDEX", "en;;;NO-INDEX;No index", 4)),
              "error: can't load menu index \"NO-INDEX\" from resources\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::NoMenuBitmap, "NO-BITMAP", "en;;;NO-BITMAP;No bitmap", 5)),
              "error: can't load menu bitmap \"NO-BITMAP\" from resources\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::BadMenuIndexLine, "DAMAGED-GOOD", "584;5;595;16;close", 1)),
              "error: invalid line in menu index \"DAMAGED-GOOD\":\n584;5;595;16;close\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::BadMenuIndexLine, "DAMAGED-GOOD", "garbage", 3)),
              "error: invalid line in menu index \"DAMAGED-GOOD\":\ngarbage\n");
}

TEST(LoadProblem, HeadlineLeavesOutTheErrorMarkAndTheLine)
{
    EXPECT_EQ(LoadProblemHeadline(Problem(LoadProblemKind::BadMenuIndexLine, "m", "garbage", 3)),
              "invalid line in menu index \"m\"");
    EXPECT_EQ(LoadProblemHeadline(Problem(LoadProblemKind::NoMenuBitmap, "m", "en;;;m;T", 2)),
              "can't load menu bitmap \"m\" from resources");
    EXPECT_TRUE(ShowsLine(LoadProblemKind::BadMainIndexLine));
    EXPECT_TRUE(ShowsLine(LoadProblemKind::BadMenuIndexLine));
    EXPECT_FALSE(ShowsLine(LoadProblemKind::NoMainIndex));
    EXPECT_FALSE(ShowsLine(LoadProblemKind::NoMenuIndex));
    EXPECT_FALSE(ShowsLine(LoadProblemKind::NoMenuBitmap));
}

TEST(LoadProblem, NamesAndLinesEndAtANulAndFormatDirectivesStayText)
{
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::NoMenuIndex, Bytes("%s\0tail"), "x", 1)),
              "error: can't load menu index \"%s\" from resources\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::BadMenuIndexLine, Bytes("%n\0a"), Bytes("%d\0b"), 2)),
              "error: invalid line in menu index \"%n\":\n%d\n");
    EXPECT_EQ(FormatLoadProblem(Problem(LoadProblemKind::BadMainIndexLine, "menu", Bytes("\0x"), 1)),
              "error: invalid line in main index:\n\n");
    EXPECT_EQ(AsShown(Bytes("a\0b")), "a");
    EXPECT_EQ(AsShown("whole"), "whole");
}

// ---- ReadCoordinate -------------------------------------------------------------

TEST(ReadCoordinate, ReadsLikeAtol)
{
    EXPECT_EQ(ReadCoordinate("75"), 75);
    EXPECT_EQ(ReadCoordinate("12px"), 12);
    EXPECT_EQ(ReadCoordinate("x"), 0);
    EXPECT_EQ(ReadCoordinate(""), 0);
    EXPECT_EQ(ReadCoordinate("-5"), -5);
    EXPECT_EQ(ReadCoordinate("+7"), 7);
    EXPECT_EQ(ReadCoordinate(" \t\r\n\v\f42"), 42);
    EXPECT_EQ(ReadCoordinate("007"), 7);
    EXPECT_EQ(ReadCoordinate("1 2"), 1);
    EXPECT_EQ(ReadCoordinate("3.9"), 3);
    EXPECT_EQ(ReadCoordinate("0x10"), 0);
}

TEST(ReadCoordinate, SignWithoutDigitsOrAfterBlankIsZero)
{
    EXPECT_EQ(ReadCoordinate("-"), 0);
    EXPECT_EQ(ReadCoordinate("+-3"), 0);
    EXPECT_EQ(ReadCoordinate("- 3"), 0);
    EXPECT_EQ(ReadCoordinate("x12"), 0);
}

TEST(ReadCoordinate, ClampsBeyondThe32BitRange)
{
    EXPECT_EQ(ReadCoordinate("2147483647"), 2147483647);
    EXPECT_EQ(ReadCoordinate("2147483648"), 2147483647);
    EXPECT_EQ(ReadCoordinate("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ReadCoordinate("-2147483649"), -2147483647 - 1);
    EXPECT_EQ(ReadCoordinate("99999999999999999999999999999999"), 2147483647);
    EXPECT_EQ(ReadCoordinate("-" + std::string(5000, '9') + "px"), -2147483647 - 1);
    EXPECT_EQ(ReadCoordinate(std::string(100, '0') + "17"), 17);
}

// ---- LoadMenusFrom ----------------------------------------------------------

TEST(LoadMenusFrom, ShippedMenusLoadForEitherLanguage)
{
    for (const char* language : {"en", "de"}) {
        FakeResources resources = Shipped();
        Menus menus;
        ASSERT_TRUE(LoadMenusFrom(resources, language, menus));
        EXPECT_EQ(resources.AllMessages(), "");
        ASSERT_EQ(menus.size(), 1u);
        const Menu& menu = menus[0];
        EXPECT_EQ(menu.title, "Brenna Netquill 4412");
        EXPECT_EQ(menu.name, "");
        EXPECT_EQ(menu.country, "");
        EXPECT_NE(menu.bitmap, 0u);
        EXPECT_EQ(menu.bitmapInfo.width, 600);
        EXPECT_EQ(menu.bitmapInfo.height, 450);
        ASSERT_EQ(menu.hotspots.size(), 3u);
        const Hotspot& first = menu.hotspots[0];
        EXPECT_EQ(first.left, 75);
        EXPECT_EQ(first.top, 163);
        EXPECT_EQ(first.right, 258);
        EXPECT_EQ(first.bottom, 206);
        EXPECT_EQ(first.command, "execute");
        EXPECT_EQ(first.argument, "software\\pdfreader\\docrunner.exe manual\\manual-de.pdf");
        EXPECT_EQ(menu.hotspots[1].argument, "software\\pdfreader\\docrunner.exe manual\\produktblatt.pdf");
        const Hotspot& close = menu.hotspots[2];
        EXPECT_EQ(close.left, 584);
        EXPECT_EQ(close.top, 5);
        EXPECT_EQ(close.right, 595);
        EXPECT_EQ(close.bottom, 16);
        EXPECT_EQ(close.command, "close");
        EXPECT_EQ(close.argument, "");
        // Only the wanted language's resources are read.
        EXPECT_EQ(resources.textRequests, (std::vector<std::string>{"menu", std::string("menu-") + language}));
    }
}

TEST(LoadMenusFrom, UnknownLanguageLoadsNothingSilently)
{
    FakeResources resources = Shipped();
    Menus menus;
    EXPECT_FALSE(LoadMenusFrom(resources, "xx", menus));
    EXPECT_FALSE(LoadMenusFrom(resources, "EN", menus));
    EXPECT_FALSE(LoadMenusFrom(resources, "", menus));
    EXPECT_TRUE(menus.empty());
    EXPECT_EQ(resources.AllMessages(), "");
}

TEST(LoadMenusFrom, MissingMainIndex)
{
    FakeResources resources;
    Menus menus;
    EXPECT_FALSE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.Records(), std::vector<std::string>{"NoMainIndex menu @0 []"});
    EXPECT_EQ(resources.AllMessages(), "error: can't load main index from resources\n");
}

TEST(LoadMenusFrom, AppendsAndReportsSuccessFromEarlierMenus)
{
    // The retry for "en" keeps what an earlier call loaded.
    FakeResources resources = Shipped();
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "de", menus));
    EXPECT_TRUE(LoadMenusFrom(resources, "xx", menus));
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(menus.size(), 2u);
    FakeResources empty;
    EXPECT_TRUE(LoadMenusFrom(empty, "en", menus));
}

TEST(LoadMenusFrom, LfOnlyMainIndexIsOneLongLine)
{
    FakeResources resources;
    resources.texts["menu"] = "en;;;menu-en;First\nen;;;menu-de;Second\n";
    resources.AddMenu("menu-en", ShippedIndex);
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].title, "First\nen;;;menu-de;Second\n");
    EXPECT_EQ(resources.AllMessages(), "");
}

TEST(LoadMenusFrom, ShortMainIndexLinesAreReportedForEveryLanguage)
{
    FakeResources resources = Shipped();
    resources.texts["menu"] =
        "\r\n"
        "de;x;;menu-de\r\n"
        "\r\n"
        "fr\r\n"
        "en;;;menu-en;Title;with;semicolons\r\n"
        ";;;\r\n"
        "\r\n";
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.AllMessages(),
              "error: invalid line in main index:\nde;x;;menu-de\n"
              "error: invalid line in main index:\nfr\n"
              "error: invalid line in main index:\n;;;\n");
    EXPECT_EQ(resources.Records(),
              (std::vector<std::string>{"BadMainIndexLine menu @2 [de;x;;menu-de]", "BadMainIndexLine menu @4 [fr]",
                                        "BadMainIndexLine menu @6 [;;;]"}));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].title, "Title;with;semicolons");
    EXPECT_EQ(menus[0].line, 5);
}

TEST(LoadMenusFrom, OnlyCrLfEndsALine)
{
    // A lone CR stays in the title, and a line of blanks is not empty.
    FakeResources resources = Shipped();
    resources.texts["menu"] = "en;;;menu-en;Title\r\r\n \r\n";
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(menus[0].title, "Title\r");
    EXPECT_EQ(resources.AllMessages(), "error: invalid line in main index:\n \n");
}

TEST(LoadMenusFrom, MissingMenuIndexOrBitmapDropsOnlyThatMenu)
{
    FakeResources resources;
    resources.texts["menu"] =
        "en;a;;no-index;A\r\n"
        "en;b;;no-bitmap;B\r\n"
        "en;c;;fine;C\r\n"
        "en;d;;missing-both;D";
    resources.AddMenu("fine", ShippedIndex);
    resources.texts["no-bitmap"] = ShippedIndex;
    resources.bitmaps["no-index"] = BitmapInfo{};
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.AllMessages(),
              "error: can't load menu index \"no-index\" from resources\n"
              "error: can't load menu bitmap \"no-bitmap\" from resources\n"
              "error: can't load menu index \"missing-both\" from resources\n");
    EXPECT_EQ(resources.Records(), (std::vector<std::string>{"NoMenuIndex no-index @1 [en;a;;no-index;A]",
                                                             "NoMenuBitmap no-bitmap @2 [en;b;;no-bitmap;B]",
                                                             "NoMenuIndex missing-both @4 [en;d;;missing-both;D]"}));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].name, "c");
}

TEST(LoadMenusFrom, DamagedResourcesGiveTheStartupTestsMessagesWithTheirLines)
{
    FakeResources resources;
    resources.texts["menu"] =
        "de;x;;DAMAGED-GOOD\r\n"
        "\r\n"
        "fr\r\n"
        "en;;;NO-INDEX;No index\r\n"
        "en;;;NO-BITMAP;No bitmap\r\n"
        "en;;;DAMAGED-GOOD;Damaged; but loaded\r\n";
    resources.texts["NO-BITMAP"] = "0;0;10;10;close;\r\n";
    resources.bitmaps["NO-INDEX"] = BitmapInfo{};
    resources.AddMenu("DAMAGED-GOOD", "584;5;595;16;close\r\n\r\ngarbage\r\n0;0;10;10;close;\r\n");
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.AllMessages(),
              "error: invalid line in main index:\nde;x;;DAMAGED-GOOD\n"
              "error: invalid line in main index:\nfr\n"
              "error: can't load menu index \"NO-INDEX\" from resources\n"
              "error: can't load menu bitmap \"NO-BITMAP\" from resources\n"
              "error: invalid line in menu index \"DAMAGED-GOOD\":\n584;5;595;16;close\n"
              "error: invalid line in menu index \"DAMAGED-GOOD\":\ngarbage\n");
    EXPECT_EQ(
        resources.Records(),
        (std::vector<std::string>{
            "BadMainIndexLine menu @1 [de;x;;DAMAGED-GOOD]", "BadMainIndexLine menu @3 [fr]",
            "NoMenuIndex NO-INDEX @4 [en;;;NO-INDEX;No index]", "NoMenuBitmap NO-BITMAP @5 [en;;;NO-BITMAP;No bitmap]",
            "BadMenuIndexLine DAMAGED-GOOD @1 [584;5;595;16;close]", "BadMenuIndexLine DAMAGED-GOOD @3 [garbage]"}));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].title, "Damaged; but loaded");
    EXPECT_EQ(menus[0].resource, "DAMAGED-GOOD");
    EXPECT_EQ(menus[0].line, 6);
    ASSERT_EQ(menus[0].hotspots.size(), 1u);
    EXPECT_EQ(menus[0].hotspots[0].line, 4);
}

TEST(LoadMenusFrom, NothingLoadableGivesFalseAfterItsMessages)
{
    FakeResources resources;
    resources.texts["menu"] = "en;;;gone;Gone\r\n";
    Menus menus;
    EXPECT_FALSE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.AllMessages(), "error: can't load menu index \"gone\" from resources\n");
}

TEST(LoadMenusFrom, BadMenuIndexLinesAreSkippedAndTheMenuKept)
{
    FakeResources resources;
    resources.texts["menu"] = "en;;;menu-en;T\r\n";
    resources.AddMenu("menu-en",
                      "584;5;595;16;close\r\n"
                      "\r\n"
                      "1;2;3;4;showmenu;sub;with;semicolons\r\n"
                      "garbage\r\n"
                      "12px;x;-5;99999999999;execute;a b\r\n"
                      "584;5;595;16;close;");
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.AllMessages(),
              "error: invalid line in menu index \"menu-en\":\n584;5;595;16;close\n"
              "error: invalid line in menu index \"menu-en\":\ngarbage\n");
    ASSERT_EQ(menus.size(), 1u);
    const std::vector<Hotspot>& hotspots = menus[0].hotspots;
    ASSERT_EQ(hotspots.size(), 3u);
    EXPECT_EQ(hotspots[0].command, "showmenu");
    EXPECT_EQ(hotspots[0].argument, "sub;with;semicolons");
    EXPECT_EQ(hotspots[1].left, 12);
    EXPECT_EQ(hotspots[1].top, 0);
    EXPECT_EQ(hotspots[1].right, -5);
    EXPECT_EQ(hotspots[1].bottom, 2147483647);
    EXPECT_EQ(hotspots[2].command, "close");
    EXPECT_EQ(hotspots[2].argument, "");
    EXPECT_EQ(hotspots[0].line, 3);
    EXPECT_EQ(hotspots[1].line, 5);
    EXPECT_EQ(hotspots[2].line, 6);
}

TEST(LoadMenusFrom, NamesGoToTheirHotspotLinesAndAreNeverNeeded)
{
    FakeResources resources;
    resources.texts["menu"] = "en;;;named;N\r\nen;second;;plain;P\r\n";
    resources.AddMenu("named",
                      "1;1;2;2;execute;a.exe\r\n"
                      "\r\n"
                      "garbage\r\n"
                      "3;3;4;4;showmenu;second\r\n"
                      "5;5;6;6;close;\r\n");
    resources.AddMenu("plain", ShippedIndex);
    // The damaged line keeps its name line; the line after the last hotspot
    // is ignored.
    resources.names["named"] = "First\r\nfor the damaged line\r\n\r\nLast\r\nExtra\r\n";
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    ASSERT_EQ(menus.size(), 2u);
    ASSERT_EQ(menus[0].hotspots.size(), 3u);
    EXPECT_EQ(menus[0].hotspots[0].name, "First");
    EXPECT_EQ(menus[0].hotspots[1].name, "");
    EXPECT_EQ(menus[0].hotspots[2].name, "Last");
    ASSERT_EQ(menus[1].hotspots.size(), 3u);
    for (const Hotspot& hotspot : menus[1].hotspots)
        EXPECT_EQ(hotspot.name, "");
    EXPECT_EQ(resources.problems.size(), 1u);
}

TEST(LoadMenusFrom, MenuWithoutValidLinesLoadsWithoutHotspots)
{
    for (const char* index : {"", "\r\n\r\n", "a;b;c\r\n"}) {
        FakeResources resources;
        resources.texts["menu"] = "en;;;m;T";
        resources.AddMenu("m", index);
        Menus menus;
        ASSERT_TRUE(LoadMenusFrom(resources, "en", menus)) << index;
        ASSERT_EQ(menus.size(), 1u);
        EXPECT_TRUE(menus[0].hotspots.empty());
    }
}

TEST(LoadMenusFrom, KeepsMainIndexOrderAndRepeatedNames)
{
    FakeResources resources;
    resources.texts["menu"] =
        "en;;Germany;m1;One\r\n"
        "de;;;m1;Other language\r\n"
        "en;;;m2;Two\r\n"
        "en;;;m1;Three\r\n";
    resources.AddMenu("m1", "");
    resources.AddMenu("m2", "");
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[0].title, "One");
    EXPECT_EQ(menus[0].country, "Germany");
    EXPECT_EQ(menus[1].title, "Two");
    EXPECT_EQ(menus[2].title, "Three");
    EXPECT_EQ(menus[0].resource, "m1");
    EXPECT_EQ(menus[1].resource, "m2");
    EXPECT_EQ(menus[0].line, 1);
    EXPECT_EQ(menus[1].line, 3);
    EXPECT_EQ(menus[2].line, 4);
}

TEST(LoadMenusFrom, MessagesShowArgumentsAsPrintfWould)
{
    // A "%s" argument ends at a NUL byte; format directives in the data are
    // printed, never interpreted.
    FakeResources resources;
    resources.texts["menu"] = Bytes("%s%n;x\0y\r\nen;;;%d\0z;T\r\n");
    resources.AddMenu(Bytes("%d\0z"), Bytes("%n\0;;;;\r\n"));
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(resources.AllMessages(),
              "error: invalid line in main index:\n%s%n;x\n"
              "error: invalid line in menu index \"%d\":\n%n\n");
}

TEST(LoadMenusFrom, VeryLongLinesLoad)
{
    FakeResources resources;
    const std::string title(100000, 'T');
    resources.texts["menu"] = "en;;;m;" + title;
    resources.AddMenu("m", "1;2;3;4;execute;" + std::string(100000, 'a') + "\r\n" + std::string(50000, ';'));
    Menus menus;
    ASSERT_TRUE(LoadMenusFrom(resources, "en", menus));
    EXPECT_EQ(menus[0].title, title);
    ASSERT_EQ(menus[0].hotspots.size(), 2u);
    EXPECT_EQ(menus[0].hotspots[1].argument.size(), 50000u - 5u);
}

// ---- FindMenuIn ---------------------------------------------------------------

TEST(FindMenuIn, FirstMenuOfTheNameForEveryoneOrTheUsersCountry)
{
    Menus menus(5);
    menus[0].name = "sub";
    menus[1].country = "Germany";
    menus[2].title = "root";
    menus[3].country = "France";
    menus[4].title = "later root";
    EXPECT_EQ(FindMenuIn(menus, "", "Germany"), 1u);
    EXPECT_EQ(FindMenuIn(menus, "", "France"), 2u);
    EXPECT_EQ(FindMenuIn(menus, "", "Austria"), 2u);
    EXPECT_EQ(FindMenuIn(menus, "", "germany"), 2u);
    EXPECT_EQ(FindMenuIn(menus, "sub", "Germany"), 0u);
    EXPECT_EQ(FindMenuIn(menus, "Sub", "Germany"), NoMenu);
    EXPECT_EQ(FindMenuIn(menus, "missing", "Germany"), NoMenu);
    EXPECT_EQ(FindMenuIn(Menus{}, "", "Germany"), NoMenu);
}

TEST(FindMenuIn, CountryOnlyRootBeforeOrAfterTheGeneralOne)
{
    Menus specificFirst(2);
    specificFirst[0].country = "Germany";
    EXPECT_EQ(FindMenuIn(specificFirst, "", "Germany"), 0u);
    EXPECT_EQ(FindMenuIn(specificFirst, "", "France"), 1u);

    Menus generalFirst(2);
    generalFirst[1].country = "Germany";
    EXPECT_EQ(FindMenuIn(generalFirst, "", "Germany"), 0u);
    EXPECT_EQ(FindMenuIn(generalFirst, "", "France"), 0u);
}

TEST(FindMenuIn, UnreadableCountryFindsOnlyMenusForEveryone)
{
    Menus menus(4);
    menus[0].country = "Germany";
    menus[1].name = "help";
    menus[1].country = "Germany";
    menus[2].title = "root for everyone";
    menus[3].name = "extras";
    menus[3].country = "France";
    EXPECT_EQ(FindMenuIn(menus, "", ""), 2u);
    EXPECT_EQ(FindMenuIn(menus, "help", ""), NoMenu);
    EXPECT_EQ(FindMenuIn(menus, "extras", ""), NoMenu);

    Menus countryOnly(1);
    countryOnly[0].country = "Germany";
    EXPECT_EQ(FindMenuIn(countryOnly, "", ""), NoMenu);
}

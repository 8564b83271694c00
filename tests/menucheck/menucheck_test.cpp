#include "disckit/menucheck/bmp_header.h"
#include "disckit/menucheck/diagnostic.h"
#include "disckit/menucheck/field_checks.h"
#include "disckit/menucheck/json_text.h"
#include "disckit/menucheck/menu_check.h"
#include "disckit/menucheck/overlaps.h"
#include "disckit/menucheck/preview.h"
#include "disckit/menucheck/resource_script.h"
#include "disckit/menucheck/text_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Put16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xff);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    Put16(bytes, at, static_cast<std::uint16_t>(value & 0xffff));
    Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// A complete uncompressed bitmap with a BITMAPINFOHEADER.
std::string Bitmap(std::int32_t width, std::int32_t height, std::uint16_t bits = 24)
{
    // Room for the pixels of a sane size; the header may then claim any other.
    const std::uint64_t stride = (static_cast<std::uint64_t>(width > 0 ? width : 1) * bits + 31) / 32 * 4;
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    std::string bytes(54 + stride * rows, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    Put32(bytes, 10, 54);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<std::uint32_t>(width));
    Put32(bytes, 22, static_cast<std::uint32_t>(height));
    Put16(bytes, 26, 1);
    Put16(bytes, 28, bits);
    return bytes;
}

std::string Problem(const std::string& bytes)
{
    BmpHeader header;
    std::string problem;
    EXPECT_FALSE(ReadBmpHeader(bytes, header, problem));
    EXPECT_EQ(header.width, 0) << "the header must stay unchanged on failure";
    return problem;
}

TEST(BmpHeader, ReadsTheSizesOfBottomUpAndTopDownBitmaps)
{
    BmpHeader header;
    std::string problem;
    ASSERT_TRUE(ReadBmpHeader(Bitmap(600, 450), header, problem)) << problem;
    EXPECT_EQ(header.width, 600);
    EXPECT_EQ(header.height, 450);
    EXPECT_EQ(header.bitsPerPixel, 24);
    EXPECT_FALSE(header.topDown);

    ASSERT_TRUE(ReadBmpHeader(Bitmap(3, -2, 8), header, problem)) << problem;
    EXPECT_EQ(header.height, 2);
    EXPECT_TRUE(header.topDown);

    // The old OS/2 header: 16-bit sizes.
    std::string core(14 + 12 + 4, '\0');
    core[0] = 'B';
    core[1] = 'M';
    Put32(core, 10, 26);
    Put32(core, 14, 12);
    Put16(core, 18, 1);
    Put16(core, 20, 1);
    Put16(core, 22, 1);
    Put16(core, 24, 24);
    ASSERT_TRUE(ReadBmpHeader(core, header, problem)) << problem;
    EXPECT_EQ(header.width, 1);
}

TEST(BmpHeader, RefusesTruncatedOrForeignBytesWithoutReadingPastThem)
{
    EXPECT_NE(Problem(""), "");
    EXPECT_NE(Problem("BM"), "");
    EXPECT_EQ(Problem(std::string("PK\x03\x04") + std::string(60, '\0')), "not a BMP file (no \"BM\" at its start)");

    std::string bitmap = Bitmap(600, 450);
    EXPECT_EQ(Problem(bitmap.substr(0, 30)), "bitmap header cut short");
    EXPECT_EQ(Problem(bitmap.substr(0, bitmap.size() - 1)), "pixel data cut short");

    std::string offset = Bitmap(4, 4);
    Put32(offset, 10, 0xfffffff0u);
    EXPECT_EQ(Problem(offset), "pixel data offset outside the file");
    Put32(offset, 10, 20);  // inside the headers
    EXPECT_EQ(Problem(offset), "pixel data offset outside the file");
}

TEST(BmpHeader, RefusesWhatTheBitmapLoaderCannotDraw)
{
    EXPECT_EQ(Problem(Bitmap(0, 10)), "width or height is zero or negative");
    EXPECT_EQ(Problem(Bitmap(-5, 10)), "width or height is zero or negative");
    EXPECT_EQ(Problem(Bitmap(5, 0)), "width or height is zero or negative");
    EXPECT_EQ(Problem(Bitmap(5, 5, 7)), "unsupported bits per pixel");

    std::string planes = Bitmap(5, 5);
    Put16(planes, 26, 2);
    EXPECT_EQ(Problem(planes), "plane count is not 1");

    std::string png = Bitmap(5, 5);
    Put32(png, 30, 5);  // BI_PNG
    EXPECT_EQ(Problem(png), "unsupported compression");

    std::string rle = Bitmap(5, -5, 8);
    Put32(rle, 30, 1);  // BI_RLE8 may not run top-down
    EXPECT_EQ(Problem(rle), "a compressed bitmap cannot be top-down");
}

TEST(BmpHeader, HugeDimensionsDoNotOverflowTheSizeArithmetic)
{
    std::string bitmap = Bitmap(1, 1, 32);
    Put32(bitmap, 18, 0x7fffffffu);
    Put32(bitmap, 22, 0x7fffffffu);
    EXPECT_EQ(Problem(bitmap), "pixel data cut short");
    Put32(bitmap, 22, 0x80000000u);  // the height that has no positive twin
    EXPECT_EQ(Problem(bitmap), "width or height is zero or negative");
}

TEST(TextLines, FirstBareLineFeedCarriesTheEditorsLineNumber)
{
    EXPECT_EQ(FirstBareLineFeed("a\r\nb\r\nc\nd\n"), 3);
    EXPECT_EQ(FirstBareLineFeed("a\r\nb\r\n"), 0);
    EXPECT_EQ(FirstBareLineFeed("\n"), 1);
}

class ScriptFiles : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("menucheck-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
};

TEST_F(ScriptFiles, FindsTheMenuResourcesThroughIncludesAndIgnoresEverythingElse)
{
    Write("autorun.rc", "#include \"resource_ids.h\"\n#include \"menus.rc\"\n1000 ICON \"autorun.ico\"\n");
    Write("menus.rc",
          "#include <winresrc.h>\n"
          "/* MENU-XX RCDATA \"commented.txt\"\n   still a comment */\n"
          "\"MENU\" RCDATA \"menu.txt\" // the main index\n"
          "menu-en RCDATA \"menu-en.txt\"\n"
          "STRINGTABLE\nBEGIN\n  3000 \"en\"\nEND\n"
          "MENU-EN BITMAP \"menu-en.bmp\"\n");
    Write("menu.txt", "");
    Write("menu-en.txt", "");
    Write("menu-en.bmp", "");
    std::vector<Diagnostic> diagnostics;
    const std::vector<ResourceEntry> entries = ReadResourceScript((dir / "autorun.rc").string(), {}, diagnostics);
    EXPECT_TRUE(diagnostics.empty()) << FormatDiagnostic(diagnostics.front());
    ASSERT_EQ(entries.size(), 3u);
    const ResourceEntry* main = FindResource(entries, "RCDATA", "menu");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->file, (dir / "menu.txt").string());
    EXPECT_EQ(main->line, 4);
    EXPECT_NE(FindResource(entries, "RCDATA", "MENU-EN"), nullptr);
    EXPECT_NE(FindResource(entries, "BITMAP", "Menu-En"), nullptr);
    EXPECT_EQ(FindResource(entries, "BITMAP", "menu"), nullptr);
    EXPECT_EQ(FindResource(entries, "RCDATA", "menu-xx"), nullptr);
}

TEST_F(ScriptFiles, FilesResolveAgainstTheScriptThenTheIncludeDirectories)
{
    std::filesystem::create_directories(dir / "generated");
    Write("generated/menu-en.bmp", "");
    Write("menus.rc", "MENU-EN BITMAP \"menu-en.bmp\"\n");
    std::vector<Diagnostic> diagnostics;
    std::vector<ResourceEntry> entries = ReadResourceScript((dir / "menus.rc").string(), {}, diagnostics);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0].line, 1);
    EXPECT_EQ(entries.at(0).file, "");

    diagnostics.clear();
    entries = ReadResourceScript((dir / "menus.rc").string(), {(dir / "generated").string()}, diagnostics);
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_EQ(entries.at(0).file, (dir / "generated" / "menu-en.bmp").string());
}

TEST_F(ScriptFiles, AScriptThatIncludesItselfEndsWithAnError)
{
    Write("loop.rc", "#include \"loop.rc\"\n");
    std::vector<Diagnostic> diagnostics;
    ReadResourceScript((dir / "loop.rc").string(), {}, diagnostics);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0].text, "scripts include each other too deeply");
}

Hotspot Spot(const std::string& command, const std::string& argument = "")
{
    Hotspot hotspot;
    hotspot.command = command;
    hotspot.argument = argument;
    return hotspot;
}

TEST(Preview, FocusOrderSkipsCloseAndKeepsLineOrder)
{
    const std::vector<CheckedHotspot> hotspots{
        {Spot("close"), 1}, {Spot("execute", "a.exe"), 2}, {Spot("Close"), 3}, {Spot("close"), 4}, {Spot("back"), 5}};
    EXPECT_EQ(FocusOrder(hotspots), (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_TRUE(FocusOrder({{Spot("close"), 1}, {Spot("close"), 2}}).empty());
    EXPECT_TRUE(FocusOrder({}).empty());
}

TEST(Preview, LabelsNameTheCommandAndWhatItOpens)
{
    EXPECT_EQ(PreviewLabel(Spot("execute", "software\\pdfreader\\docrunner.exe manual\\manual-de.pdf"), 1),
              "1 execute manual-de.pdf");
    EXPECT_EQ(PreviewLabel(Spot("execute", "setup\\setup.exe -q"), 2), "2 execute setup.exe");
    EXPECT_EQ(PreviewLabel(Spot("showmenu", "help"), 3), "3 showmenu help");
    EXPECT_EQ(PreviewLabel(Spot("showmenu"), 3), "3 showmenu (root)");
    EXPECT_EQ(PreviewLabel(Spot("close"), 0), "close");
    EXPECT_EQ(PreviewLabel(Spot("execute", std::string(80, 'x')), 1).size(), 40u);
    // A name goes before the command; a long one is cut between characters.
    EXPECT_EQ(PreviewLabel(Spot("showmenu", "help"), 3, "Hilfe"), "3 Hilfe (showmenu help)");
    EXPECT_EQ(PreviewLabel(Spot("close"), 0, "Schließen"), "Schließen (close)");
    EXPECT_EQ(PreviewLabel(Spot("close"), 0, std::string(20, 'x') + "żółć" + std::string(20, 'x')),
              std::string(20, 'x') + "żółć" + std::string(13, 'x') + "...");

    CheckedMenu menu;
    menu.language = "de";
    menu.name = "../hilfe menü";
    menu.country = "Germany";
    EXPECT_EQ(PreviewFileName(menu), "de-___hilfe_men__-Germany.png");
    menu.name.clear();
    menu.country.clear();
    EXPECT_EQ(PreviewFileName(menu), "de-root.png");
}

TEST(Diagnostics, OneFindingStaysOnOneLine)
{
    EXPECT_EQ(FormatDiagnostic({"menu.txt", 3, Severity::Error, "invalid line: a\nb\rc"}),
              "menu.txt:3: error: invalid line: a\\nb\\rc");
    EXPECT_EQ(FormatDiagnostic({"menus.rc", 0, Severity::Warning, "w"}), "menus.rc: warning: w");
}

TEST(JsonText, KeepsUtf8ReplacesEveryOtherByteAndEscapes)
{
    EXPECT_EQ(JsonString("\xc3\xa4 \xe2\x82\xac \xf0\x9f\x98\x80"), "\"\xc3\xa4 \xe2\x82\xac \xf0\x9f\x98\x80\"");
    const std::string replacement = "\xef\xbf\xbd";
    // Windows-1252 text, a lone continuation byte, an overlong slash, a
    // surrogate, a code point above U+10FFFF and a sequence cut short.
    EXPECT_EQ(JsonString("M\xfcller"), "\"M" + replacement + "ller\"");
    EXPECT_EQ(JsonString("\x80"), "\"" + replacement + "\"");
    EXPECT_EQ(JsonString("\xc0\xaf"), "\"" + replacement + replacement + "\"");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"" + replacement + replacement + replacement + "\"");
    EXPECT_EQ(JsonString("\xf4\x90\x80\x80").substr(0, 4), "\"" + replacement);
    EXPECT_EQ(JsonString("a\xe2\x82"), "\"a" + replacement + replacement + "\"");
    EXPECT_EQ(JsonString(std::string("q\"b\\n\r\t\x01\0\x7f", 10)), "\"q\\\"b\\\\n\\r\\t\\u0001\\u0000\\u007f\"");
}

TEST(Overlaps, EachRectangleOnceWithTheFirstEarlierOneItOverlaps)
{
    const std::vector<Rect> rects{
        {10, 10, 20, 20},  // 0
        {0, 0, 5, 5},      // 1
        {20, 10, 30, 20},  // 2: touches 0 on its right edge only
        {0, 0, 15, 15},    // 3: over 1 and 0; 0 is the first
        {10, 10, 20, 20},  // 4: a copy of 0
        {12, 12, 13, 13},  // 5: inside 0, 3 and 4
        {0, 0, 5, 5},      // 6: a copy of 1, which lies under 3 too
        {0, 0, 15, 15},    // 7: a copy of 3, whose first is 0
    };
    const std::vector<std::pair<std::size_t, std::size_t>> expected{{3, 0}, {4, 0}, {5, 0}, {6, 1}, {7, 0}};
    EXPECT_EQ(FindOverlaps(rects, 10, 1000).found, expected);
}

TEST(Overlaps, TheListIsBoundedAndTheWorkBoundEndsTheSearch)
{
    std::vector<Rect> stacked;
    for (std::int32_t i = 0; i < 30; ++i)
        stacked.push_back({i, 0, i + 100, 10});
    std::vector<std::pair<std::size_t, std::size_t>> firstTwenty;
    for (std::size_t i = 1; i <= 20; ++i)
        firstTwenty.emplace_back(i, 0);
    // A sweep within 1000 comparisons; with 100, too many pairs for one, the
    // search in line order finds the same.
    OverlapSearch search;
    for (std::uint64_t workBound : {1000u, 100u}) {
        search = FindOverlaps(stacked, 20, workBound);
        EXPECT_EQ(search.found, firstTwenty);
        EXPECT_TRUE(search.more);
        EXPECT_TRUE(search.complete);
    }

    // Bars across beside bars down, none over another: too many pairs
    // along either axis for a sweep within a small bound, so the search
    // in line order runs out of work and says where it stopped.
    std::vector<Rect> bars;
    for (std::int32_t i = 0; i < 15; ++i) {
        bars.push_back({0, i * 10, 100, i * 10 + 5});
        bars.push_back({200 + i * 10, 0, 205 + i * 10, 150});
    }
    search = FindOverlaps(bars, 20, 1000);
    EXPECT_TRUE(search.found.empty() && !search.more && search.complete);
    search = FindOverlaps(bars, 20, 10);
    EXPECT_TRUE(search.found.empty());
    EXPECT_FALSE(search.complete);
    EXPECT_GT(search.stoppedAt, 0u);
    EXPECT_LT(search.stoppedAt, bars.size());
}

TEST(FieldChecks, CoordinatesAreReadAsAtolReadsThem)
{
    EXPECT_EQ(CheckCoordinate(" 12 ").code, "");
    EXPECT_EQ(CheckCoordinate("-5").code, "");
    EXPECT_EQ(CheckCoordinate("+").code, "coordinate-not-a-number");
    EXPECT_EQ(CheckCoordinate("- 5").text, "coordinate \"- 5\" is not a number; autorun reads it as 0");
    EXPECT_EQ(CheckCoordinate("99999999999x").text,
              "coordinate \"99999999999x\" has text after its number; autorun reads it as 2147483647");
    EXPECT_EQ(CheckCoordinate("1 2").code, "coordinate-trailing-text");
    EXPECT_NE(CheckCoordinate(std::string(100, '7') + "x").text.find("\"" + std::string(40, '7') + "...\" has text"),
              std::string::npos);

    EXPECT_EQ(CheckCommandWord("execute", "a.exe").code, "");
    EXPECT_EQ(CheckCommandWord("showmenu", "").code, "");
    EXPECT_NE(CheckCommandWord("Execute", "a.exe").text.find("did you mean execute?"), std::string::npos);
    EXPECT_NE(CheckCommandWord("bak", "").text.find("did you mean back?"), std::string::npos);
    EXPECT_EQ(CheckCommandWord("launch", "a.exe").text.find("did you mean"), std::string::npos);
}

}  // namespace

// Arbitrary menu sources through the whole menu checker: the resource script,
// the main index, the menu indexes and the bitmaps they name. The input is
// cut at 0xFF bytes into menus.rc and the files a, b, c, d and e beside it;
// w.bmp (a valid 40 x 30 bitmap) and a small disc tree are always there.
// Whatever the sources hold, every finding is one output line in either
// format, a JSON line that any JSON reader takes, with a code, and the
// previews get file names that stay plain names.
#include "autorun/menu_text.h"
#include "tests/fuzz/json_lines.h"
#include "tests/fuzz/scratch_files.h"
#include "disckit/menucheck/menu_check.h"
#include "disckit/menucheck/preview.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Bitmap40x30()
{
    // One bit per pixel: rows of 8 bytes (40 bits padded to 64).
    std::string bytes(62 + 8 * 30, '\0');
    const auto put = [&](std::size_t at, std::uint32_t value, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(10, 62, 4);
    put(14, 40, 4);
    put(18, 40, 4);
    put(22, 30, 4);
    put(26, 1, 2);
    put(28, 1, 2);
    return bytes;
}

struct Layout {
    CheckOptions options;
    std::vector<std::string> files;
};

const Layout& Files()
{
    static const Layout layout = [] {
        const std::string& dir = scratch::Directory();
        const std::string res = dir + "/res";
        const std::string disc = dir + "/disc";
        std::filesystem::create_directories(res);
        std::filesystem::create_directories(disc + "/manual");
        std::filesystem::create_directories(disc + "/software");
        scratch::Write(res + "/w.bmp", Bitmap40x30());
        scratch::Write(disc + "/Setup.exe", "");
        scratch::Write(disc + "/manual/Manual.pdf", "");
        scratch::Write(disc + "/software/reader.exe", "");
        Layout layout;
        layout.options.resourceDir = res;
        layout.options.discDir = disc;
        for (const char* name : {"menus.rc", "a", "b", "c", "d", "e"})
            layout.files.push_back(res + "/" + name);
        return layout;
    }();
    return layout;
}

bool SafeInFileName(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Layout& layout = Files();
    std::vector<std::string> parts;
    SplitString("\xff", std::string(reinterpret_cast<const char*>(data), size), parts, layout.files.size());
    scratch::WriteParts(layout.files, parts);

    const CheckResult result = CheckMenus(layout.options);
    for (const Diagnostic& diagnostic : result.diagnostics) {
        const std::string line = FormatDiagnostic(diagnostic);
        Check(!diagnostic.file.empty() && diagnostic.line >= 0);
        // File names come from the script, whose lines are cut at LF, so
        // only the finding's text can bring one in; a CR may pass through
        // in a file name.
        Check(line.find('\n') == std::string::npos);
        Check(!diagnostic.code.empty() && diagnostic.hotspot >= 0);
        Check(json_lines::IsObjectLine(FormatJsonRecord(diagnostic)));
    }
    Check(json_lines::IsObjectLine(FormatJsonEnd(result.diagnostics.size(), 0)));

    for (const CheckedMenu& menu : result.menus) {
        Check(menu.bitmap.width > 0 && menu.bitmap.height > 0);
        Check(!menu.indexFile.empty() && !menu.bitmapFile.empty() && menu.mainIndexLine >= 1);
        for (const CheckedHotspot& spot : menu.hotspots)
            Check(spot.line >= 1);

        // The focus visits hotspots of this menu, each once, never "close".
        const std::vector<std::size_t> order = FocusOrder(menu.hotspots);
        std::vector<std::size_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        Check(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
        for (std::size_t position : order)
            Check(position < menu.hotspots.size() && menu.hotspots[position].hotspot.command != "close");

        // Picture names stay plain names inside the preview directory.
        const std::string name = PreviewFileName(menu);
        Check(name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0);
        Check(std::all_of(name.begin(), name.end() - 4, SafeInFileName));
    }
    return 0;
}

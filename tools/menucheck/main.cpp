// menucheck: checks the menu sources of autorun before they are built into
// the program, and draws previews of the menus.
#include "tools/menucheck/diagnostic.h"
#include "tools/menucheck/menu_check.h"
#include "tools/menucheck/preview.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int ExitClean = 0;
constexpr int ExitErrors = 1;
constexpr int ExitUsage = 2;

const char* const Help =
    "usage: menucheck [options] RESOURCE_DIR [DISC_DIR]\n"
    "\n"
    "Checks the menus of autorun as its resource script builds them into the\n"
    "program: the main index, the menu indexes and the menu bitmaps. They are\n"
    "loaded for every language of the main index with autorun's own loader.\n"
    "\n"
    "Where the files come from: RESOURCE_DIR/menus.rc (or --rc SCRIPT) and the\n"
    "scripts it includes with #include \"x.rc\". Of each script only the lines\n"
    "  NAME RCDATA \"file\"      NAME BITMAP \"file\"\n"
    "are read (NAME quoted or not, matched without regard to case). The main\n"
    "index is the RCDATA \"MENU\"; the menu index and the bitmap of a menu are\n"
    "the RCDATA and the BITMAP named by field 4 of its main-index line. Files\n"
    "resolve against the directory of the script, then each -I DIR.\n"
    "\n"
    "Errors (exit status 1) are what autorun reports at run time (a main-index\n"
    "or menu-index line with too few fields, a menu index or bitmap that does\n"
    "not load, a language without a root menu) and what stops the resource\n"
    "compiler. Warnings (exit status 0) are what autorun accepts silently but\n"
    "is almost always a mistake: a hotspot outside its bitmap, an empty or\n"
    "inverted hotspot, overlapping hotspots, a showmenu of a menu that no line\n"
    "of that language defines, a start target or a document (a parameter with\n"
    "a backslash) that is not in DISC_DIR, LF-only line ends, a bitmap of\n"
    "another size than the root menu's, a root menu for one country only, a\n"
    "menu whose hotspots are all \"close\". Each finding is one line:\n"
    "  FILE:LINE: error: TEXT        FILE:LINE: warning: TEXT\n"
    "\n"
    "Options:\n"
    "  --rc SCRIPT     the resource script, relative to RESOURCE_DIR (menus.rc)\n"
    "  -I DIR          another directory to find resource files in\n"
    "  --preview DIR   also write DIR/LANGUAGE-NAME.png for each menu (NAME is\n"
    "                  \"root\" for the root menu): the bitmap with each hotspot\n"
    "                  framed, numbered in keyboard focus order (Tab: every\n"
    "                  hotspot but \"close\", in line order) and labelled with\n"
    "                  its command; drawn with ImageMagick's convert\n"
    "  --help          this text\n";

int Usage(const char* problem)
{
    std::fprintf(stderr, "menucheck: %s\n(menucheck --help tells more)\n", problem);
    return ExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    CheckOptions options;
    std::string previewDir;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Help, stdout);
            return ExitClean;
        } else if (arg == "--rc" && hasValue) {
            options.script = argv[++i];
        } else if (arg == "-I" && hasValue) {
            options.includeDirs.push_back(argv[++i]);
        } else if (arg == "--preview" && hasValue) {
            previewDir = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage(("unknown option or missing value: " + arg).c_str());
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2)
        return Usage("give the resource directory and, optionally, the disc tree");
    options.resourceDir = positional[0];
    if (positional.size() == 2)
        options.discDir = positional[1];

    CheckResult result = CheckMenus(options);
    if (!previewDir.empty())
        WritePreviews(result.menus, previewDir, result.diagnostics);

    std::stable_sort(
        result.diagnostics.begin(), result.diagnostics.end(),
        [](const Diagnostic& a, const Diagnostic& b) { return a.file != b.file ? a.file < b.file : a.line < b.line; });
    std::size_t errors = 0;
    for (const Diagnostic& diagnostic : result.diagnostics) {
        std::printf("%s\n", FormatDiagnostic(diagnostic).c_str());
        errors += diagnostic.severity == Severity::Error ? 1 : 0;
    }
    const std::size_t warnings = result.diagnostics.size() - errors;
    if (!result.diagnostics.empty())
        std::printf("menucheck: %zu error(s), %zu warning(s)\n", errors, warnings);
    return errors == 0 ? ExitClean : ExitErrors;
}

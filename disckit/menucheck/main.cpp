// menucheck: checks the menu sources of autorun before they are built into
// the program, and draws previews of the menus.
#include "disckit/menucheck/diagnostic.h"
#include "disckit/menucheck/menu_check.h"
#include "disckit/menucheck/preview.h"

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
    "a backslash) that is not in DISC_DIR, a program's bare name that is\n"
    "neither in DISC_DIR nor a program of Windows (explorer, notepad.exe,\n"
    "msiexec, ...), %root% or %hwnd% in a start target (only the parameters\n"
    "are replaced), a start target on another machine, LF-only line ends, a\n"
    "bitmap of another size than the root menu's, a root menu for one country\n"
    "only, a menu whose hotspots are all \"close\", a coordinate with text\n"
    "after its number, a command word that autorun does not know, a field of\n"
    "10000 characters or more. A NUL byte in a main index or a menu index is an error.\n"
    "Each finding is one line:\n"
    "  FILE:LINE: error: TEXT        FILE:LINE: warning: TEXT\n"
    "followed by a line \"menucheck: N error(s), M warning(s)\" when there are any.\n"
    "\n"
    "With --format json, standard output holds only JSON lines (UTF-8, one\n"
    "object a line, the findings in the same order):\n"
    "  {\"file\": F, \"line\": N, \"severity\": \"error\"|\"warning\", \"code\": C,\n"
    "   \"message\": TEXT, \"menu\": RESOURCE|null, \"hotspot\": N|null}\n"
    "line 0 is the file as a whole; menu is the resource name (field 4 of the\n"
    "main-index line) of the menu a finding belongs to; hotspot the 1-based\n"
    "position of the hotspot among the complete lines of its menu index. Bytes\n"
    "that are not UTF-8 become U+FFFD. The last line is always\n"
    "  {\"end\": {\"errors\": N, \"warnings\": M}}\n"
    "and only a check that ran to its end writes it.\n"
    "\n"
    "Codes (stable; e = error, w = warning):\n"
    "  no-resource-script         e  the resource script does not exist\n"
    "  unreadable-script          e  a resource script cannot be read\n"
    "  include-not-found          e  a script that #include names is not found\n"
    "  include-too-deep           e  scripts include each other too deeply\n"
    "  quoted-name-joined         e  the resource compiler joins a quoted name to a string\n"
    "  duplicate-resource         e  a resource is defined twice\n"
    "  resource-file-missing      e  the file of a resource is not found\n"
    "  no-main-index              e  no RCDATA \"MENU\"\n"
    "  invalid-main-index-line    e  a main-index line with too few fields\n"
    "  no-menu-index              e  a menu index does not load\n"
    "  no-menu-bitmap             e  a menu bitmap does not load\n"
    "  invalid-menu-index-line    e  a menu-index line with too few fields\n"
    "  language-without-root-menu e  a language without a root menu\n"
    "  nul-byte                   e  a line of a main or menu index holds a NUL byte\n"
    "  lf-only-line-end           w  a line ends in LF only\n"
    "  long-field                 w  a field of 10000 characters or more\n"
    "  coordinate-trailing-text   w  a coordinate with text after its number\n"
    "  coordinate-not-a-number    w  a coordinate that holds no number (read as 0)\n"
    "  hotspot-inverted           w  right before left or bottom above top\n"
    "  hotspot-empty              w  a hotspot of no width or no height\n"
    "  hotspot-outside-bitmap     w  a hotspot reaches outside its bitmap\n"
    "  hotspot-overlap            w  a hotspot over an earlier one (once, naming the first)\n"
    "  hotspot-overlap-summary    w  more overlapping hotspots than are listed for one menu\n"
    "  overlap-check-incomplete   w  too many hotspots lie across one another to compare them all\n"
    "  unknown-command            w  a command word autorun does not know; it starts the argument\n"
    "  showmenu-unknown-menu      w  a showmenu of a menu the language does not define\n"
    "  nothing-to-start           w  a start command with an empty argument\n"
    "  target-not-on-disc         w  a start target or document not in DISC_DIR\n"
    "  target-unknown-program     w  a program's bare name neither in DISC_DIR nor of Windows\n"
    "  target-placeholder         w  %root% or %hwnd% in a start target, which is never replaced\n"
    "  target-other-machine       w  a start target on another machine (\\\\host\\share, a program's URL)\n"
    "  menu-without-hotspots      w  a menu without hotspots\n"
    "  menu-without-focus         w  a menu whose hotspots are all \"close\"\n"
    "  root-menu-for-one-country  w  a language's root menu is for one country only\n"
    "  bitmap-size-differs        w  a bitmap of another size than the root menu's\n"
    "  double-picture-size        e  a 200 % picture (NAME@2x) not exactly twice its 100 % picture\n"
    "  double-picture-missing     w  with any 200 % picture, a language's menus without theirs\n"
    "  preview-failed             e  convert could not draw a preview\n"
    "\n"
    "Options:\n"
    "  --format FORMAT text (the default) or json, above\n"
    "  --rc SCRIPT     the resource script, relative to RESOURCE_DIR (menus.rc)\n"
    "  -I DIR          another directory to find resource files in\n"
    "  --preview DIR   also write DIR/LANGUAGE-NAME.png for each menu (NAME is\n"
    "                  \"root\" for the root menu): the bitmap with each hotspot\n"
    "                  framed, numbered in keyboard focus order (Tab: every\n"
    "                  hotspot but \"close\", in line order) and labelled with\n"
    "                  its command; drawn with ImageMagick's convert. A menu\n"
    "                  with a usable 200 % picture also gets\n"
    "                  DIR/LANGUAGE-NAME@2x.png, drawn at twice the size\n"
    "  --preview-names DIR\n"
    "                  label each hotspot of the previews with its name too,\n"
    "                  from DIR/RESOURCE.names (RESOURCE in lower case): UTF-8,\n"
    "                  line N the name of the hotspot on line N of the index\n"
    "  --help          this text\n";

enum class Format { Text, Json };

// Writes the findings and, for JSON, the end record; false when standard
// output could not take them all.
bool Write(const std::vector<Diagnostic>& diagnostics, Format format, std::size_t errors)
{
    const std::size_t warnings = diagnostics.size() - errors;
    for (const Diagnostic& diagnostic : diagnostics) {
        const std::string line = format == Format::Json ? FormatJsonRecord(diagnostic) : FormatDiagnostic(diagnostic);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    if (format == Format::Json)
        std::printf("%s\n", FormatJsonEnd(errors, warnings).c_str());
    else if (!diagnostics.empty())
        std::printf("menucheck: %zu error(s), %zu warning(s)\n", errors, warnings);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

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
    std::string namesDir;
    Format format = Format::Text;
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
        } else if (arg == "--format" && hasValue) {
            const std::string value = argv[++i];
            if (value != "text" && value != "json")
                return Usage(("unknown format: " + value + " (text or json)").c_str());
            format = value == "json" ? Format::Json : Format::Text;
        } else if (arg == "--preview" && hasValue) {
            previewDir = argv[++i];
        } else if (arg == "--preview-names" && hasValue) {
            namesDir = argv[++i];
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
        WritePreviews(result.menus, previewDir, namesDir, result.diagnostics);

    std::stable_sort(
        result.diagnostics.begin(), result.diagnostics.end(),
        [](const Diagnostic& a, const Diagnostic& b) { return a.file != b.file ? a.file < b.file : a.line < b.line; });
    std::size_t errors = 0;
    for (const Diagnostic& diagnostic : result.diagnostics)
        errors += diagnostic.severity == Severity::Error ? 1 : 0;
    if (!Write(result.diagnostics, format, errors)) {
        std::fprintf(stderr, "menucheck: cannot write the findings to standard output\n");
        return ExitErrors;
    }
    return errors == 0 ? ExitClean : ExitErrors;
}

// Arbitrary resource scripts through menucheck's script reader, as the script
// input.rc of a folder whose other scripts and resource files are fixed:
// a.rc beside it, b.rc in sub/, c.rc in an include directory and loop.rc,
// which includes itself twice, so that #include, its search order and its
// depth limit are reached without writing a file per input.
#include "tests/fuzz/scratch_files.h"
#include "disckit/menucheck/resource_script.h"

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

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct Layout {
    std::string input;
    std::vector<std::string> includeDirs;
};

const Layout& Files()
{
    static const Layout layout = [] {
        namespace fs = std::filesystem;
        const std::string& dir = scratch::Directory();
        fs::create_directories(dir + "/sub");
        fs::create_directories(dir + "/inc");
        scratch::Write(dir + "/a.rc", "#include \"sub/b.rc\"\n\"MENU\" RCDATA \"menu.txt\"\nA BITMAP \"m.bmp\"\n");
        scratch::Write(dir + "/sub/b.rc", "B RCDATA \"m.txt\" /* found beside b.rc */\nb bitmap \"missing.bmp\"\n");
        scratch::Write(dir + "/inc/c.rc", "#include \"a.rc\"\n\"C\" RCDATA \"m.bmp\"\n");
        scratch::Write(dir + "/loop.rc", "#include \"loop.rc\"\n#include \"loop.rc\"\nL RCDATA \"menu.txt\"\n");
        scratch::Write(dir + "/menu.txt", "en;;;m;M\r\n");
        scratch::Write(dir + "/m.bmp", "BM");
        scratch::Write(dir + "/sub/m.txt", "");
        Layout layout;
        layout.input = dir + "/input.rc";
        layout.includeDirs.push_back(dir + "/inc");
        return layout;
    }();
    return layout;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Layout& layout = Files();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<Diagnostic> diagnostics;
    const std::vector<ResourceEntry> entries =
        ReadResourceScriptText(text, layout.input, layout.includeDirs, diagnostics);

    // Findings name the input or a script it included, which ends in ".rc".
    const auto isScript = [&](const std::string& path) {
        return path == layout.input || (path.size() >= 3 && Upper(path.substr(path.size() - 3)) == ".RC");
    };
    for (const Diagnostic& diagnostic : diagnostics)
        Check(diagnostic.severity == Severity::Error && diagnostic.line >= 0 && !diagnostic.text.empty() &&
              isScript(diagnostic.file));

    // A loop is followed to the depth limit once, never along every path
    // through it again: a few findings for each line at most.
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    Check(diagnostics.size() <= 32 * lines);

    for (const ResourceEntry& entry : entries) {
        Check(entry.type == "RCDATA" || entry.type == "BITMAP");
        Check(isScript(entry.script) && entry.line >= 1);
        // A name is defined once per type, whatever its case, so each is its
        // own first match.
        Check(FindResource(entries, entry.type, Upper(entry.name)) == &entry);
        // A file that was not found is an error at the line that names it.
        if (entry.file.empty())
            Check(std::any_of(diagnostics.begin(), diagnostics.end(),
                              [&](const Diagnostic& d) { return d.file == entry.script && d.line == entry.line; }));
    }
    return 0;
}

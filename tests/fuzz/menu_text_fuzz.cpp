// Arbitrary main-index and menu-index texts through the menu loader. The input
// is cut at 0xFF bytes: the first part is the main index, the others are the
// menu indexes, handed out by a hash of the resource name asked for.
#include "autorun/menu_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class FuzzResources : public MenuResources {
public:
    std::vector<std::string> parts;

    bool LoadText(const std::string& name, std::string& out) override
    {
        if (name == "menu") {
            out = parts[0];
            return true;
        }
        if (parts.size() < 2)
            return false;
        out = parts[1 + std::hash<std::string>{}(name) % (parts.size() - 1)];
        return true;
    }
    bool LoadBitmap(const std::string& name, Menu& menu) override
    {
        if (name.size() % 3 == 2)
            return false;
        menu.bitmap = 1;
        menu.bitmapInfo.width = static_cast<std::int32_t>(name.size());
        return true;
    }
    void Report(const LoadProblem& problem) override
    {
        // The message autorun writes for it is one complete "error: ..."
        // text, cut at NUL bytes like printf's "%s".
        const std::string message = FormatLoadProblem(problem);
        if (message.compare(0, 7, "error: ") != 0 || message.back() != '\n' || message.find('\0') != std::string::npos)
            std::abort();
        if (problem.lineNumber < 0 || (!problem.line.empty() && problem.lineNumber < 1))
            std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzResources resources;
    SplitString("\xff", std::string(reinterpret_cast<const char*>(data), size), resources.parts, 0);

    // The language is the first main-index field, so some lines always match.
    const std::string& mainIndex = resources.parts[0];
    const std::string language = mainIndex.substr(0, mainIndex.find(';'));

    Menus menus;
    const bool loaded = LoadMenusFrom(resources, language, menus);
    if (loaded != !menus.empty())
        std::abort();
    // Line numbers count every LF before the line, as an editor shows them.
    const int mainLines = static_cast<int>(std::count(mainIndex.begin(), mainIndex.end(), '\n')) + 1;
    for (const Menu& menu : menus) {
        if (menu.bitmap != 1 || mainIndex.find(menu.title) == std::string::npos)
            std::abort();
        if (menu.line < 1 || menu.line > mainLines)
            std::abort();
        for (const Hotspot& hotspot : menu.hotspots) {
            if (hotspot.command.find("\r\n") != std::string::npos || hotspot.line < 1)
                std::abort();
        }
    }
    // Without a readable country only the menus for everyone qualify.
    const MenuPosition root = FindMenuIn(menus, "", "");
    if (root != NoMenu && (root >= menus.size() || !menus[root].name.empty() || !menus[root].country.empty()))
        std::abort();
    return 0;
}

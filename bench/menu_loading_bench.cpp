// Loads one menu whose index has N lines, so that callgrind can count the
// instructions of the loading alone: run with
//   valgrind --tool=callgrind --collect-atstart=no menu_loading_bench N
// and only the second load is counted, not the making of the text nor the
// first load, which pays once for the allocator's first growth and the lazy
// binding of library calls. Prints the input size so instructions per byte
// can be worked out.
#include "autorun/menu_text.h"

#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class GeneratedResources : public MenuResources {
public:
    GeneratedResources(std::string mainIndex, std::string menuIndex)
        : main_(std::move(mainIndex)), menu_(std::move(menuIndex))
    {
    }

    bool LoadText(const std::string& name, std::string& out) override
    {
        if (name == "menu") {
            out = main_;
            return true;
        }
        if (name == "menu-en") {
            out = menu_;
            return true;
        }
        return false;
    }

    bool LoadBitmap(const std::string&, Menu& menu) override
    {
        menu.bitmapInfo.width = 600;
        menu.bitmapInfo.height = 450;
        return true;
    }

    void Report(const LoadProblem&) override { ++reports; }

    int reports = 0;

private:
    std::string main_;
    std::string menu_;
};

// Lines like the shipped ones, with coordinates that vary from line to line.
std::string MenuIndex(long lines)
{
    std::string text;
    for (long i = 0; i < lines; ++i) {
        const long x = i % 600;
        const long y = (i * 7) % 450;
        switch (i % 3) {
        case 0:
            text += std::to_string(x) + ";" + std::to_string(y) + ";" + std::to_string(x + 183) + ";" +
                    std::to_string(y + 43) + ";execute;software\\pdfreader\\docrunner.exe manual\\manual-de.pdf\r\n";
            break;
        case 1:
            text += std::to_string(x) + ";" + std::to_string(y) + ";" + std::to_string(x + 204) + ";" +
                    std::to_string(y + 43) + ";execute;software\\pdfreader\\docrunner.exe manual\\produktblatt.pdf\r\n";
            break;
        default:
            text += std::to_string(x) + ";" + std::to_string(y) + ";" + std::to_string(x + 11) + ";" +
                    std::to_string(y + 11) + ";close;\r\n";
            break;
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000;
    const std::string mainIndex = "en;;;menu-en;Brenna Netquill 4412\r\nde;;;menu-de;Brenna Netquill 4412\r\n";
    const std::string menuIndex = MenuIndex(lines);
    GeneratedResources resources(mainIndex, menuIndex);

    {
        Menus warmUp;
        LoadMenusFrom(resources, "en", warmUp);
    }
    resources.reports = 0;
    Menus menus;
    CALLGRIND_TOGGLE_COLLECT;
    const bool loaded = LoadMenusFrom(resources, "en", menus);
    CALLGRIND_TOGGLE_COLLECT;
    const std::size_t hotspots = loaded ? menus.front().hotspots.size() : 0;
    std::printf("lines %ld bytes %zu hotspots %zu reports %d\n", lines, mainIndex.size() + menuIndex.size(), hotspots,
                resources.reports);
    return loaded && hotspots == static_cast<std::size_t>(lines) && resources.reports == 0 ? 0 : 1;
}

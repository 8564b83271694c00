// Plays the scripted pointer moves and focus keys on the interaction logic
// with the shipped English menu and compares the repaints it asks for with
// the hotspot state changes: one rectangle per change of a hotspot's hover or
// focus, nothing else, and never the whole client area.
#include "autorun/interaction.h"
#include "autorun/menu_text.h"
#include "bench/repaint_script.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

class FileResources : public MenuResources {
public:
    explicit FileResources(std::string directory) : directory_(std::move(directory)) {}

    bool LoadText(const std::string& name, std::string& out) override
    {
        std::ifstream file(directory_ + "/" + name + ".txt", std::ios::binary);
        if (!file)
            return false;
        out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return true;
    }

    bool LoadBitmap(const std::string&, Menu& menu) override
    {
        menu.bitmapInfo.width = 600;
        menu.bitmapInfo.height = 450;
        return true;
    }

    void Report(const LoadProblem& problem) override { std::fputs(FormatLoadProblem(problem).c_str(), stderr); }

private:
    std::string directory_;
};

bool SameRect(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool RectLess(const Rect& a, const Rect& b)
{
    return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
}

long long Area(const Rect& r)
{
    return static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string resources = argc > 1 ? argv[1] : "projects/velmora-cd/menus";
    FileResources files(resources);
    Menus menus;
    if (!LoadMenusFrom(files, "en", menus)) {
        std::fprintf(stderr, "no menus in %s\n", resources.c_str());
        return 1;
    }
    const Hotspots& hotspots = menus.front().hotspots;
    const Rect client{0, 0, menus.front().bitmapInfo.width, menus.front().bitmapInfo.height};

    InteractionState state;
    long requests = 0;
    long changes = 0;
    long wholeClient = 0;
    long mismatchedEvents = 0;
    long long area = 0;
    for (const ScriptEvent& event : RepaintScript) {
        const InteractionState before = state;
        InputResult result;
        switch (event.step) {
        case ScriptStep::Move:
            result = PointerMoved(state, hotspots, event.x, event.y, true);
            break;
        case ScriptStep::Key:
            result = KeyDown(state, hotspots, static_cast<unsigned>(event.x));
            break;
        case ScriptStep::Char:
            result = CharTyped(state, hotspots, static_cast<unsigned>(event.x), false);
            break;
        }
        // The rectangles of the hotspots whose hover or focus flag flipped.
        std::vector<Rect> changed;
        for (HotspotRef i = 0; i < hotspots.size(); ++i) {
            if ((before.HoverHotspot == i) != (state.HoverHotspot == i))
                changed.push_back(hotspots[i]);
            if ((before.FocusHotspot == i) != (state.FocusHotspot == i))
                changed.push_back(hotspots[i]);
        }
        std::vector<Rect> asked = result.repaints;
        for (const Rect& r : asked) {
            area += Area(r);
            if (SameRect(r, client))
                ++wholeClient;
        }
        std::sort(changed.begin(), changed.end(), RectLess);
        std::sort(asked.begin(), asked.end(), RectLess);
        if (!std::equal(changed.begin(), changed.end(), asked.begin(), asked.end(), SameRect))
            ++mismatchedEvents;
        requests += static_cast<long>(result.repaints.size());
        changes += static_cast<long>(changed.size());
    }
    std::printf(
        "events %zu repaints %ld area %lld client_area %lld changes %ld whole_client %ld mismatched_events %ld\n",
        RepaintScriptLength, requests, area, Area(client), changes, wholeClient, mismatchedEvents);
    return requests == changes && wholeClient == 0 && mismatchedEvents == 0 ? 0 : 1;
}

// Runs autorun's own loader over the menu sources, one source line at a time,
// so that everything it reports can be pinned to a file and a line. The
// source files are untrusted input like the resources they become.
#include "tools/menucheck/menu_check.h"

#include "autorun/commands_logic.h"
#include "autorun/interaction.h"
#include "autorun/menu_text.h"
#include "tools/menucheck/resource_script.h"
#include "tools/menucheck/text_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t MainIndexFields = 5;

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string DescribeRect(const Rect& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "-" + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

// "error: can't load ... \"x\":\nline\n" as one diagnostic text.
std::string AsFinding(std::string message)
{
    if (message.rfind("error: ", 0) == 0)
        message.erase(0, 7);
    while (!message.empty() && message.back() == '\n')
        message.pop_back();
    const std::size_t lineBreak = message.find(":\n");
    if (lineBreak != std::string::npos)
        message.replace(lineBreak, 2, ": ");
    return message;
}

// The resources that one run of the loader sees. The main index and a menu
// index can each be replaced by one of their lines, so that every message of
// the run belongs to that line.
class SourceResources : public MenuResources {
public:
    SourceResources(const std::vector<ResourceEntry>& entries, std::string mainIndex)
        : entries_(entries), mainIndex_(std::move(mainIndex))
    {
    }

    // Index texts handed out in place of the files (the empty text: no lines).
    std::map<std::string, std::string> indexOverride;
    std::vector<std::string> messages;
    std::string bitmapProblem;  // why the last bitmap did not load
    BmpHeader lastBitmap;

    bool LoadText(const std::string& name, std::string& out) override
    {
        if (name == "menu") {
            out = mainIndex_;
            return true;
        }
        const ResourceEntry* entry = FindResource(entries_, "RCDATA", name);
        if (entry == nullptr)
            return false;
        if (entry->file.empty()) {
            knownBroken_ = true;
            return false;
        }
        auto replaced = indexOverride.find(entry->name);
        if (replaced != indexOverride.end()) {
            out = replaced->second;
            return true;
        }
        return ReadWholeFile(entry->file, out);
    }

    bool LoadBitmap(const std::string& name, Menu& menu) override
    {
        bitmapProblem.clear();
        const ResourceEntry* entry = FindResource(entries_, "BITMAP", name);
        if (entry == nullptr) {
            bitmapProblem = "no BITMAP of that name in the resource script";
            return false;
        }
        if (entry->file.empty()) {
            knownBroken_ = true;
            return false;
        }
        std::string bytes;
        if (!ReadWholeFile(entry->file, bytes)) {
            bitmapProblem = "cannot read " + entry->file;
            return false;
        }
        BmpHeader header;
        std::string problem;
        if (!ReadBmpHeader(bytes, header, problem)) {
            bitmapProblem = entry->file + ": " + problem;
            return false;
        }
        lastBitmap = header;
        menu.bitmapInfo.width = header.width;
        menu.bitmapInfo.height = header.height;
        menu.bitmapInfo.bitsPerPixel = header.bitsPerPixel;
        menu.bitmapInfo.planes = 1;
        return true;
    }

    void Report(const std::string& message) override
    {
        // A file that the resource script names but that does not exist is
        // reported at the script's line already.
        if (knownBroken_) {
            knownBroken_ = false;
            return;
        }
        std::string text = AsFinding(message);
        if (!bitmapProblem.empty() && text.rfind("can't load menu bitmap", 0) == 0)
            text += " (" + bitmapProblem + ")";
        messages.push_back(text);
    }

private:
    const std::vector<ResourceEntry>& entries_;
    std::string mainIndex_;
    bool knownBroken_ = false;
};

struct MainLine {
    TextLine line;
    std::vector<std::string> fields;  // empty when the line is malformed
};

class Checker {
public:
    explicit Checker(const CheckOptions& options) : options_(options) {}

    CheckResult Run()
    {
        std::string script = options_.script;
        if (!fs::path(script).is_absolute())
            script = (fs::path(options_.resourceDir) / script).string();
        if (!fs::is_regular_file(script)) {
            Add(script, 0, Severity::Error, "no such resource script");
            return std::move(result_);
        }
        entries_ = ReadResourceScript(script, options_.includeDirs, result_.diagnostics);

        const ResourceEntry* main = FindResource(entries_, "RCDATA", "menu");
        std::string mainText;
        if (main == nullptr || main->file.empty() || !ReadWholeFile(main->file, mainText)) {
            if (main == nullptr)
                Add(script, 0, Severity::Error, "can't load main index from resources (no RCDATA \"MENU\")");
            return std::move(result_);
        }
        mainFile_ = main->file;
        CheckLineEnds(mainFile_, mainText);
        ReadMainIndex(mainText);
        for (CheckedMenu& menu : result_.menus)
            ReadMenuIndex(menu);
        for (const auto& [key, menuPosition] : firstMenuOfResource_)
            CheckGeometry(result_.menus[menuPosition]);
        for (const auto& [key, menuPosition] : firstMenuOfResource_)
            CheckCommands(result_.menus[menuPosition]);
        CheckLanguages();
        return std::move(result_);
    }

private:
    void Add(const std::string& file, int line, Severity severity, const std::string& text)
    {
        result_.diagnostics.push_back({file, line, severity, text});
    }

    void CheckLineEnds(const std::string& file, const std::string& text)
    {
        if (const int line = FirstBareLineFeed(text))
            Add(file, line, Severity::Warning,
                "line ends in LF only; autorun reads everything up to the next CR LF as one line");
    }

    // Each main-index line goes through the loader alone, with the menu
    // indexes seen as empty, so its messages are about that line only.
    void ReadMainIndex(const std::string& text)
    {
        for (const TextLine& line : CutAsAutorunDoes(text)) {
            if (line.text.empty())
                continue;
            MainLine main{line, {}};
            std::vector<std::string> fields;
            if (SplitString(";", line.text, fields, MainIndexFields) >= MainIndexFields)
                main.fields = fields;
            mainLines_.push_back(main);

            SourceResources resources(entries_, line.text);
            for (const ResourceEntry& entry : entries_) {
                if (entry.type == "RCDATA")
                    resources.indexOverride[entry.name] = std::string();
            }
            Menus menus;
            LoadMenusFrom(resources, main.fields.empty() ? std::string() : main.fields[0], menus);
            for (const std::string& message : resources.messages)
                Add(mainFile_, line.number, Severity::Error, message);
            if (menus.empty())
                continue;
            CheckedMenu menu;
            menu.language = main.fields[0];
            menu.name = menus.front().name;
            menu.country = menus.front().country;
            menu.title = menus.front().title;
            menu.resource = main.fields[3];
            menu.mainIndexFile = mainFile_;
            menu.mainIndexLine = line.number;
            menu.indexFile = FindResource(entries_, "RCDATA", menu.resource)->file;
            menu.bitmapFile = FindResource(entries_, "BITMAP", menu.resource)->file;
            menu.bitmap = resources.lastBitmap;
            result_.menus.push_back(menu);
        }
    }

    // Each menu-index line goes through the loader alone, under the main-index
    // line of its menu. An index that several menus share is read once.
    void ReadMenuIndex(CheckedMenu& menu)
    {
        const ResourceEntry* entry = FindResource(entries_, "RCDATA", menu.resource);
        const std::string key = Key(menu.resource);
        auto known = hotspotsOfResource_.find(key);
        if (known != hotspotsOfResource_.end()) {
            menu.hotspots = known->second;
            return;
        }
        firstMenuOfResource_[key] = static_cast<std::size_t>(&menu - result_.menus.data());
        std::string text;
        ReadWholeFile(entry->file, text);
        CheckLineEnds(entry->file, text);
        std::string mainLine;
        for (const MainLine& main : mainLines_) {
            if (main.line.number == menu.mainIndexLine)
                mainLine = main.line.text;
        }
        for (const TextLine& line : CutAsAutorunDoes(text)) {
            if (line.text.empty())
                continue;
            SourceResources resources(entries_, mainLine);
            resources.indexOverride[entry->name] = line.text;
            Menus menus;
            LoadMenusFrom(resources, menu.language, menus);
            for (const std::string& message : resources.messages)
                Add(entry->file, line.number, Severity::Error, message);
            if (!menus.empty() && !menus.front().hotspots.empty())
                menu.hotspots.push_back({menus.front().hotspots.front(), line.number});
        }
        hotspotsOfResource_[key] = menu.hotspots;
    }

    void CheckGeometry(const CheckedMenu& menu)
    {
        std::vector<const CheckedHotspot*> placed;
        for (const CheckedHotspot& spot : menu.hotspots) {
            const Hotspot& h = spot.hotspot;
            const std::string rect = DescribeRect(h);
            if (h.left > h.right || h.top > h.bottom) {
                Add(menu.indexFile, spot.line, Severity::Warning,
                    "hotspot " + rect + " is inverted (right before left or bottom above top); it can never be hit");
                continue;
            }
            if (h.left == h.right || h.top == h.bottom) {
                Add(menu.indexFile, spot.line, Severity::Warning,
                    "hotspot " + rect + " is empty; it can never be hit");
                continue;
            }
            if (h.left < 0 || h.top < 0 || h.right > menu.bitmap.width || h.bottom > menu.bitmap.height) {
                Add(menu.indexFile, spot.line, Severity::Warning,
                    "hotspot " + rect + " reaches outside the " + std::to_string(menu.bitmap.width) + " x " +
                        std::to_string(menu.bitmap.height) + " bitmap");
            }
            for (const CheckedHotspot* earlier : placed) {
                const Hotspot& e = earlier->hotspot;
                if (std::max(e.left, h.left) < std::min(e.right, h.right) &&
                    std::max(e.top, h.top) < std::min(e.bottom, h.bottom)) {
                    Add(menu.indexFile, spot.line, Severity::Warning,
                        "hotspot " + rect + " overlaps the one of line " + std::to_string(earlier->line) +
                            "; a click there hits only the earlier one");
                }
            }
            placed.push_back(&spot);
        }
    }

    void CheckCommands(const CheckedMenu& menu)
    {
        std::set<std::string> languages;
        for (const CheckedMenu& other : result_.menus) {
            if (Key(other.resource) == Key(menu.resource))
                languages.insert(other.language);
        }
        bool anyTakesFocus = false;
        for (const CheckedHotspot& spot : menu.hotspots) {
            const Hotspot& h = spot.hotspot;
            switch (ChooseCommand(h.command)) {
            case CommandKind::Close:
                break;
            case CommandKind::Back:
                anyTakesFocus = true;
                break;
            case CommandKind::ShowMenu:
                anyTakesFocus = true;
                for (const std::string& language : languages) {
                    if (!Defines(language, h.argument))
                        Add(menu.indexFile, spot.line, Severity::Warning,
                            "showmenu " + Quoted(h.argument) + ": no line of language " + Quoted(language) +
                                " in the main index defines that menu; the click does nothing");
                }
                break;
            case CommandKind::Execute:
                anyTakesFocus = true;
                CheckTarget(menu, spot);
                break;
            }
        }
        if (menu.hotspots.empty())
            Add(menu.mainIndexFile, menu.mainIndexLine, Severity::Warning,
                "menu " + Quoted(menu.name) + " has no hotspots");
        else if (!anyTakesFocus)
            Add(menu.mainIndexFile, menu.mainIndexLine, Severity::Warning,
                "menu " + Quoted(menu.name) + " has no hotspot but \"close\" ones, so none can take the keyboard focus");
    }

    void CheckTarget(const CheckedMenu& menu, const CheckedHotspot& spot)
    {
        const ExecuteParts parts = SplitExecuteArgument(spot.hotspot.argument);
        if (parts.target.empty()) {
            Add(menu.indexFile, spot.line, Severity::Warning,
                "command " + Quoted(spot.hotspot.command) + " has nothing to start");
            return;
        }
        if (options_.discDir.empty())
            return;
        CheckOnDisc(menu, spot, parts.target, "start target");
        // Documents handed to a program of the disc, such as the manuals that
        // docrunner opens: relative paths with a backslash in them.
        std::vector<std::string> words;
        SplitString(" ", parts.parameters, words, 0);
        for (std::string word : words) {
            if (word.rfind("%root%\\", 0) == 0)
                word.erase(0, 7);
            if (word.find('\\') == std::string::npos || word.find('%') != std::string::npos ||
                word.find('"') != std::string::npos || word[0] == '-' || word[0] == '/')
                continue;
            CheckOnDisc(menu, spot, word, "document");
        }
    }

    void CheckOnDisc(const CheckedMenu& menu, const CheckedHotspot& spot, const std::string& path,
                     const std::string& what)
    {
        // Absolute paths, drive letters, URLs and bare program names (found
        // through the search path) are not the disc's business.
        if (path.find(':') != std::string::npos || path[0] == '\\' ||
            (path.find('\\') == std::string::npos && path.find('.') == std::string::npos))
            return;
        if (!OnDisc(path))
            Add(menu.indexFile, spot.line, Severity::Warning,
                what + " " + Quoted(path) + " is not in the disc tree " + options_.discDir);
    }

    // Looks a backslash path up in the disc tree without regard to case, as
    // Windows finds files on a CD.
    bool OnDisc(const std::string& path) const
    {
        std::vector<std::string> parts;
        SplitString("\\", path, parts, 0);
        fs::path current = options_.discDir;
        std::error_code error;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string& part = parts[i];
            if (part.empty() || part == ".")
                continue;
            if (part == "..")
                return false;
            bool found = false;
            for (fs::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
                if (Key(it->path().filename().string()) == Key(part)) {
                    current = it->path();
                    found = true;
                    break;
                }
            }
            if (!found)
                return false;
        }
        return fs::is_regular_file(current, error);
    }

    bool Defines(const std::string& language, const std::string& name) const
    {
        for (const MainLine& main : mainLines_) {
            if (!main.fields.empty() && main.fields[0] == language && main.fields[1] == name)
                return true;
        }
        return false;
    }

    void CheckLanguages()
    {
        std::map<std::string, int> firstLine;
        std::set<std::string> withRoot;
        for (const MainLine& main : mainLines_) {
            if (main.fields.empty())
                continue;
            firstLine.emplace(main.fields[0], main.line.number);
            if (main.fields[1].empty())
                withRoot.insert(main.fields[0]);
        }
        for (const auto& [language, line] : firstLine) {
            if (withRoot.count(language) == 0) {
                Add(mainFile_, line, Severity::Error,
                    "language " + Quoted(language) + " has no root menu (a line with an empty name); autorun "
                    "reports \"no root menu found\" and ends");
                continue;
            }
            const CheckedMenu* root = nullptr;
            bool forEveryone = false;
            for (const CheckedMenu& menu : result_.menus) {
                if (menu.language != language || !menu.name.empty())
                    continue;
                if (root == nullptr)
                    root = &menu;
                forEveryone = forEveryone || menu.country.empty();
            }
            if (root == nullptr)
                continue;  // its root menu did not load; that is reported already
            if (!forEveryone)
                Add(root->mainIndexFile, root->mainIndexLine, Severity::Warning,
                    "the root menu of language " + Quoted(language) + " is only for users in " +
                        Quoted(root->country) + "; everyone else gets \"no root menu found\"");
            for (const CheckedMenu& menu : result_.menus) {
                if (menu.language != language || &menu == root)
                    continue;
                if (menu.bitmap.width != root->bitmap.width || menu.bitmap.height != root->bitmap.height)
                    Add(menu.mainIndexFile, menu.mainIndexLine, Severity::Warning,
                        "bitmap " + Quoted(menu.resource) + " is " + std::to_string(menu.bitmap.width) + " x " +
                            std::to_string(menu.bitmap.height) + ", but the window keeps the root menu's " +
                            std::to_string(root->bitmap.width) + " x " + std::to_string(root->bitmap.height));
            }
        }
    }

    static std::string Key(std::string name)
    {
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return name;
    }

    const CheckOptions& options_;
    CheckResult result_;
    std::vector<ResourceEntry> entries_;
    std::string mainFile_;
    std::vector<MainLine> mainLines_;
    std::map<std::string, std::vector<CheckedHotspot>> hotspotsOfResource_;
    std::map<std::string, std::size_t> firstMenuOfResource_;
};

}  // namespace

CheckResult CheckMenus(const CheckOptions& options)
{
    return Checker(options).Run();
}

std::vector<std::size_t> FocusOrder(const std::vector<CheckedHotspot>& hotspots)
{
    Hotspots plain;
    for (const CheckedHotspot& spot : hotspots)
        plain.push_back(spot.hotspot);
    // Walk the focus the way the Tab key moves it, once round.
    InteractionState state;
    std::vector<std::size_t> order;
    std::vector<Rect> repaints;
    for (std::size_t step = 0; step <= plain.size(); ++step) {
        FocusNextHotspot(state, plain, repaints);
        if (state.FocusHotspot == NoHotspot || (!order.empty() && state.FocusHotspot == order.front()))
            break;
        order.push_back(state.FocusHotspot);
    }
    return order;
}

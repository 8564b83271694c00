// Runs autorun's own loader over the menu sources, once per language, and
// pins what it reports to a file and a line. The source files are untrusted
// input like the resources they become.
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
#include <utility>

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string DescribeRect(const Rect& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "-" + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

// A problem of the loader as one finding: the damaged line that autorun
// shows below its message follows it on the same line.
std::string FindingText(const LoadProblem& problem)
{
    std::string text = LoadProblemHeadline(problem);
    if (!ShowsLine(problem.kind))
        return text;
    // LFs at its end come from LF-only line ends before the CR LF: line
    // ends to the reader, not text of the line.
    std::string line = AsShown(problem.line);
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line.empty() ? text + ":" : text + ": " + line;
}

// The resources as the resource script builds them into the program, read
// from their source files.
class SourceResources : public MenuResources {
public:
    explicit SourceResources(const std::vector<ResourceEntry>& entries) : entries_(entries) {}

    std::vector<LoadProblem> problems;
    std::map<std::string, std::string> bitmapProblems;  // by resource: why its bitmap did not load
    std::map<std::string, BmpHeader> bitmaps;           // by resource: the bitmaps that loaded

    bool LoadText(const std::string& name, std::string& out) override
    {
        const ResourceEntry* entry = FindResource(entries_, "RCDATA", name);
        if (entry == nullptr || entry->file.empty())
            return false;
        auto read = texts_.find(entry->file);
        if (read == texts_.end()) {
            // A file too large to be a menu text, or unreadable, is checked
            // as an empty one.
            std::string text;
            ReadWholeFile(entry->file, text);
            read = texts_.emplace(entry->file, std::move(text)).first;
        }
        out = read->second;
        return true;
    }

    bool LoadBitmap(const std::string& name, Menu& menu) override
    {
        const ResourceEntry* entry = FindResource(entries_, "BITMAP", name);
        if (entry == nullptr) {
            bitmapProblems[name] = "no BITMAP of that name in the resource script";
            return false;
        }
        if (entry->file.empty())
            return false;
        std::string bytes;
        if (!ReadWholeFile(entry->file, bytes)) {
            bitmapProblems[name] = "cannot read " + entry->file;
            return false;
        }
        BmpHeader header;
        std::string problem;
        if (!ReadBmpHeader(bytes, header, problem)) {
            bitmapProblems[name] = entry->file + ": " + problem;
            return false;
        }
        bitmaps[name] = header;
        menu.bitmapInfo.width = header.width;
        menu.bitmapInfo.height = header.height;
        menu.bitmapInfo.bitsPerPixel = header.bitsPerPixel;
        menu.bitmapInfo.planes = 1;
        return true;
    }

    void Report(const LoadProblem& problem) override
    {
        // A file that the resource script names but that does not exist is
        // reported at the script's line already.
        if (NamesMissingFile(problem))
            return;
        problems.push_back(problem);
    }

private:
    bool NamesMissingFile(const LoadProblem& problem) const
    {
        const char* type = problem.kind == LoadProblemKind::NoMenuIndex    ? "RCDATA"
                           : problem.kind == LoadProblemKind::NoMenuBitmap ? "BITMAP"
                                                                           : nullptr;
        if (type == nullptr)
            return false;
        const ResourceEntry* entry = FindResource(entries_, type, problem.resource);
        return entry != nullptr && entry->file.empty();
    }

    const std::vector<ResourceEntry>& entries_;
    std::map<std::string, std::string> texts_;  // by file
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

        const ResourceEntry* main = FindResource(entries_, "RCDATA", MainIndexResource);
        std::string mainText;
        if (main == nullptr || main->file.empty() || !ReadWholeFile(main->file, mainText)) {
            if (main == nullptr)
                Add(script, 0, Severity::Error, "can't load main index from resources (no RCDATA \"MENU\")");
            return std::move(result_);
        }
        mainFile_ = main->file;
        CheckLineEnds(mainFile_, mainText);
        IndexReader reader(mainText, MainIndex::Fields);
        for (IndexRecord record; reader.Next(record);)
            mainLines_.push_back(record);
        LoadLanguages();
        for (CheckedMenu& menu : result_.menus)
            CheckMenuIndex(menu);
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

    // Loads the menus of each language of the main index once, as autorun
    // loads them when it runs in that language. The problems of the main
    // index become findings here, those of the menu indexes wait for
    // CheckMenuIndex, and the menus that load are kept in main-index order.
    void LoadLanguages()
    {
        std::vector<std::string> languages;
        for (const IndexRecord& main : mainLines_) {
            if (!main.complete)
                continue;
            const std::string& language = main.fields[MainIndex::Language];
            if (std::find(languages.begin(), languages.end(), language) == languages.end())
                languages.push_back(language);
        }
        // Every load reports the damaged main-index lines; without any
        // complete line it still takes one to find them.
        if (languages.empty())
            languages.emplace_back();

        SourceResources resources(entries_);
        for (std::size_t i = 0; i < languages.size(); ++i) {
            Menus menus;
            resources.problems.clear();
            LoadMenusFrom(resources, languages[i], menus);
            for (const LoadProblem& problem : resources.problems)
                Take(problem, resources, i == 0);
            for (const Menu& menu : menus)
                result_.menus.push_back(Checked(languages[i], menu, resources));
        }
        std::stable_sort(result_.menus.begin(), result_.menus.end(),
                         [](const CheckedMenu& a, const CheckedMenu& b) { return a.mainIndexLine < b.mainIndexLine; });
    }

    void Take(const LoadProblem& problem, const SourceResources& resources, bool firstLoad)
    {
        switch (problem.kind) {
        case LoadProblemKind::NoMainIndex:
        case LoadProblemKind::BadMainIndexLine:
            if (firstLoad)
                Add(mainFile_, problem.lineNumber, Severity::Error, FindingText(problem));
            break;
        case LoadProblemKind::NoMenuIndex:
            Add(mainFile_, problem.lineNumber, Severity::Error, FindingText(problem));
            break;
        case LoadProblemKind::NoMenuBitmap: {
            std::string text = FindingText(problem);
            auto why = resources.bitmapProblems.find(problem.resource);
            if (why != resources.bitmapProblems.end())
                text += " (" + why->second + ")";
            Add(mainFile_, problem.lineNumber, Severity::Error, text);
            break;
        }
        case LoadProblemKind::BadMenuIndexLine:
            // An index that several menus name is reported by each of their
            // loads; keep one report of each line.
            if (seenIndexLines_.insert({problem.resource, problem.lineNumber}).second)
                indexProblems_[problem.resource].push_back(problem);
            break;
        }
    }

    CheckedMenu Checked(const std::string& language, const Menu& menu, const SourceResources& resources) const
    {
        CheckedMenu checked;
        checked.language = language;
        checked.name = menu.name;
        checked.country = menu.country;
        checked.title = menu.title;
        checked.resource = menu.resource;
        checked.mainIndexFile = mainFile_;
        checked.mainIndexLine = menu.line;
        checked.indexFile = FindResource(entries_, "RCDATA", menu.resource)->file;
        checked.bitmapFile = FindResource(entries_, "BITMAP", menu.resource)->file;
        checked.bitmap = resources.bitmaps.at(menu.resource);
        for (const Hotspot& hotspot : menu.hotspots)
            checked.hotspots.push_back({hotspot, hotspot.line});
        return checked;
    }

    // The line ends and the damaged lines of each menu index, once for all
    // the menus that name it, under the name of the first of them.
    void CheckMenuIndex(const CheckedMenu& menu)
    {
        const std::size_t position = static_cast<std::size_t>(&menu - result_.menus.data());
        if (!firstMenuOfResource_.emplace(Key(menu.resource), position).second)
            return;
        std::string text;
        ReadWholeFile(menu.indexFile, text);
        CheckLineEnds(menu.indexFile, text);
        for (const LoadProblem& problem : indexProblems_[menu.resource])
            Add(menu.indexFile, problem.lineNumber, Severity::Error, FindingText(problem));
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
                Add(menu.indexFile, spot.line, Severity::Warning, "hotspot " + rect + " is empty; it can never be hit");
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
                "menu " + Quoted(menu.name) +
                    " has no hotspot but \"close\" ones, so none can take the keyboard focus");
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
        for (const IndexRecord& main : mainLines_) {
            if (main.complete && main.fields[MainIndex::Language] == language && main.fields[MainIndex::Name] == name)
                return true;
        }
        return false;
    }

    void CheckLanguages()
    {
        std::map<std::string, int> firstLine;
        std::set<std::string> withRoot;
        for (const IndexRecord& main : mainLines_) {
            if (!main.complete)
                continue;
            firstLine.emplace(main.fields[MainIndex::Language], main.number);
            if (main.fields[MainIndex::Name].empty())
                withRoot.insert(main.fields[MainIndex::Language]);
        }
        for (const auto& [language, line] : firstLine) {
            if (withRoot.count(language) == 0) {
                Add(mainFile_, line, Severity::Error,
                    "language " + Quoted(language) +
                        " has no root menu (a line with an empty name); autorun "
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
                    "the root menu of language " + Quoted(language) + " is only for users in " + Quoted(root->country) +
                        "; everyone else gets \"no root menu found\"");
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
    std::vector<IndexRecord> mainLines_;
    std::map<std::string, std::vector<LoadProblem>> indexProblems_;  // by resource as the main index names it
    std::set<std::pair<std::string, int>> seenIndexLines_;
    std::map<std::string, std::size_t> firstMenuOfResource_;  // by Key of the resource
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

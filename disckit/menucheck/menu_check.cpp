// Runs autorun's own loader over the menu sources, once per language, and
// pins what it reports to a file and a line. The source files are untrusted
// input like the resources they become.
#include "disckit/menucheck/menu_check.h"

#include "autorun/commands_logic.h"
#include "autorun/command_words.h"
#include "autorun/menu_text.h"
#include "disckit/menucheck/double_pictures.h"
#include "disckit/menucheck/field_checks.h"
#include "disckit/menucheck/overlaps.h"
#include "disckit/menucheck/resource_script.h"
#include "disckit/menucheck/start_targets.h"
#include "disckit/menucheck/text_file.h"

#include <algorithm>
#include <filesystem>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace {

namespace fs = std::filesystem;

// Overlap findings listed for one menu before one finding sums up the rest,
// and the comparisons of hotspots that the search may make for one menu.
constexpr std::size_t MaxOverlapFindings = 20;
constexpr std::uint64_t OverlapWorkBound = 50'000'000;

const char* const MenuIndexFieldNames[MenuIndexFields] = {"left", "top", "right", "bottom", "command", "argument"};
const char* const MainIndexFieldNames[MainIndex::Fields] = {"language", "name", "country", "resource", "title"};

const char* CodeOf(LoadProblemKind kind)
{
    switch (kind) {
    case LoadProblemKind::NoMainIndex:
        return "no-main-index";
    case LoadProblemKind::BadMainIndexLine:
        return "invalid-main-index-line";
    case LoadProblemKind::NoMenuIndex:
        return "no-menu-index";
    case LoadProblemKind::NoMenuBitmap:
        return "no-menu-bitmap";
    case LoadProblemKind::BadMenuIndexLine:
        return "invalid-menu-index-line";
    }
    return "load-problem";
}

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
    explicit SourceResources(const ResourceIndex& entries) : entries_(entries) {}

    std::vector<LoadProblem> problems;
    std::map<std::string, std::string> bitmapProblems;  // by resource: why its bitmap did not load
    std::map<std::string, BmpHeader> bitmaps;           // by resource: the bitmaps that loaded

    // The main index that the next load reads instead of the file's: the
    // loader's first text is always the main index.
    void ReadMainIndexAs(std::string text)
    {
        mainIndex_ = std::move(text);
        replaceMainIndex_ = true;
    }

    bool LoadText(const std::string& name, std::string& out) override
    {
        if (replaceMainIndex_) {
            replaceMainIndex_ = false;
            out.swap(mainIndex_);
            return true;
        }
        const ResourceEntry* entry = entries_.Find("RCDATA", name);
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
        const ResourceEntry* entry = entries_.Find("BITMAP", name);
        if (entry == nullptr) {
            bitmapProblems[name] = "no BITMAP of that name in the resource script";
            return false;
        }
        if (entry->file.empty() || bitmapProblems.count(name) != 0)
            return false;
        // Each menu of each language loads its bitmap; the file is read once.
        auto loaded = bitmaps.find(name);
        if (loaded == bitmaps.end()) {
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
            loaded = bitmaps.emplace(name, header).first;
        }
        const BmpHeader& header = loaded->second;
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
        const ResourceEntry* entry = entries_.Find(type, problem.resource);
        return entry != nullptr && entry->file.empty();
    }

    const ResourceIndex& entries_;
    std::map<std::string, std::string> texts_;  // by file
    std::string mainIndex_;
    bool replaceMainIndex_ = false;
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
            Add(script, 0, Severity::Error, "no-resource-script", "no such resource script");
            return std::move(result_);
        }
        entries_ = ReadResourceScript(script, options_.includeDirs, result_.diagnostics);
        index_ = std::make_unique<ResourceIndex>(entries_);

        const ResourceEntry* main = index_->Find("RCDATA", MainIndexResource);
        std::string mainText;
        if (main == nullptr || main->file.empty() || !ReadWholeFile(main->file, mainText)) {
            if (main == nullptr)
                Add(script, 0, Severity::Error, "no-main-index",
                    "can't load main index from resources (no RCDATA \"MENU\")");
            return std::move(result_);
        }
        mainFile_ = main->file;
        CheckLineEnds(mainFile_, mainText, nullptr);
        CheckNulBytes(mainFile_, mainText, nullptr);
        IndexReader reader(mainText, MainIndex::Fields);
        for (IndexRecord record; reader.Next(record);) {
            for (std::size_t i = 0; i < record.fields.size(); ++i)
                CheckLength(mainFile_, record.number, record.fields[i], MainIndexFieldNames[i], nullptr, 0);
            if (record.complete)
                defined_.emplace(record.fields[MainIndex::Language], record.fields[MainIndex::Name]);
            mainLines_.push_back(std::move(record));
        }
        LoadLanguages();
        for (const CheckedMenu& menu : result_.menus)
            languagesOfResource_[UpperCaseKey(menu.resource)].insert(menu.language);
        for (CheckedMenu& menu : result_.menus)
            CheckMenuIndex(menu);
        for (const auto& [key, menuPosition] : firstMenuOfResource_)
            CheckGeometry(result_.menus[menuPosition]);
        for (const auto& [key, menuPosition] : firstMenuOfResource_)
            CheckCommands(result_.menus[menuPosition]);
        CheckLanguages();
        CheckDoublePictures(result_.menus, result_.diagnostics);
        return std::move(result_);
    }

private:
    Diagnostic& Add(const std::string& file, int line, Severity severity, const std::string& code,
                    const std::string& text)
    {
        return result_.diagnostics.emplace_back(file, line, severity, text, code);
    }

    // A finding about a menu (`menu` its resource name) and, where
    // `hotspot` is not 0, about its hotspot at that 1-based position.
    void AddFor(const std::string& file, int line, Severity severity, const std::string& code, const std::string& text,
                const std::string* menu, int hotspot)
    {
        Diagnostic& diagnostic = Add(file, line, severity, code, text);
        if (menu != nullptr)
            diagnostic.menu = *menu;
        diagnostic.hotspot = hotspot;
    }

    void AddFor(const CheckedMenu& menu, const CheckedHotspot& spot, const std::string& code, const std::string& text)
    {
        AddFor(menu.indexFile, spot.line, Severity::Warning, code, text, &menu.resource, PositionOf(menu, spot));
    }

    static int PositionOf(const CheckedMenu& menu, const CheckedHotspot& spot)
    {
        return static_cast<int>(&spot - menu.hotspots.data()) + 1;
    }

    void CheckLineEnds(const std::string& file, const std::string& text, const std::string* menu)
    {
        if (const int line = FirstBareLineFeed(text))
            AddFor(file, line, Severity::Warning, "lf-only-line-end",
                   "line ends in LF only; autorun reads everything up to the next CR LF as one line", menu, 0);
    }

    void CheckNulBytes(const std::string& file, const std::string& text, const std::string* menu)
    {
        for (int line : LinesWithNul(text))
            AddFor(file, line, Severity::Error, "nul-byte",
                   "line holds a NUL byte; Windows reads a text handed to it only up to the first one", menu, 0);
    }

    void CheckLength(const std::string& file, int line, const std::string& field, const char* what,
                     const std::string* menu, int hotspot)
    {
        const FieldFinding finding = CheckFieldLength(field, what);
        if (!finding.code.empty())
            AddFor(file, line, Severity::Warning, finding.code, finding.text, menu, hotspot);
    }

    // Loads the menus of each language of the main index once, as autorun
    // loads them when it runs in that language. The problems of the main
    // index become findings here, those of the menu indexes wait for
    // CheckMenuIndex, and the menus that load are kept in main-index order.
    //
    // Every load reads the whole main index, so a main index of many
    // languages would be read once per language: each load after the first,
    // which reports the damaged lines, reads only the lines of its language,
    // and their line numbers are mapped back.
    void LoadLanguages()
    {
        std::vector<std::string> languages;
        std::map<std::string, std::vector<const IndexRecord*>> linesOf;
        for (const IndexRecord& main : mainLines_) {
            if (!main.complete)
                continue;
            std::vector<const IndexRecord*>& lines = linesOf[main.fields[MainIndex::Language]];
            if (lines.empty())
                languages.push_back(main.fields[MainIndex::Language]);
            lines.push_back(&main);
        }
        // Without any complete line it still takes one load to find the
        // damaged ones.
        if (languages.empty())
            languages.emplace_back();

        SourceResources resources(*index_);
        for (std::size_t i = 0; i < languages.size(); ++i) {
            std::map<int, int> mainLineOf;  // by line number in the text read; empty: the file itself
            if (i > 0)
                resources.ReadMainIndexAs(LinesOnly(linesOf[languages[i]], mainLineOf));
            const auto originalLine = [&mainLineOf](int line) {
                const auto found = mainLineOf.find(line);
                return found == mainLineOf.end() ? line : found->second;
            };
            Menus menus;
            resources.problems.clear();
            LoadMenusFrom(resources, languages[i], menus);
            for (LoadProblem& problem : resources.problems) {
                if (problem.kind != LoadProblemKind::BadMenuIndexLine)
                    problem.lineNumber = originalLine(problem.lineNumber);
                Take(problem, resources, i == 0);
            }
            for (Menu& menu : menus) {
                menu.line = originalLine(menu.line);
                result_.menus.push_back(Checked(languages[i], menu, resources));
            }
        }
        std::stable_sort(result_.menus.begin(), result_.menus.end(),
                         [](const CheckedMenu& a, const CheckedMenu& b) { return a.mainIndexLine < b.mainIndexLine; });
    }

    // The lines joined as a main index; `lineOf` maps the line number that
    // the loader gives each of them to its number in the file.
    static std::string LinesOnly(const std::vector<const IndexRecord*>& lines, std::map<int, int>& lineOf)
    {
        std::string text;
        int number = 1;
        for (const IndexRecord* line : lines) {
            lineOf[number] = line->number;
            text += line->line;
            text += "\r\n";
            number += static_cast<int>(std::count(line->line.begin(), line->line.end(), '\n')) + 1;
        }
        return text;
    }

    void Take(const LoadProblem& problem, const SourceResources& resources, bool firstLoad)
    {
        switch (problem.kind) {
        case LoadProblemKind::NoMainIndex:
        case LoadProblemKind::BadMainIndexLine:
            if (firstLoad)
                Add(mainFile_, problem.lineNumber, Severity::Error, CodeOf(problem.kind), FindingText(problem));
            break;
        case LoadProblemKind::NoMenuIndex:
            AddFor(mainFile_, problem.lineNumber, Severity::Error, CodeOf(problem.kind), FindingText(problem),
                   &problem.resource, 0);
            break;
        case LoadProblemKind::NoMenuBitmap: {
            std::string text = FindingText(problem);
            auto why = resources.bitmapProblems.find(problem.resource);
            if (why != resources.bitmapProblems.end())
                text += " (" + why->second + ")";
            AddFor(mainFile_, problem.lineNumber, Severity::Error, CodeOf(problem.kind), text, &problem.resource, 0);
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
        checked.indexFile = index_->Find("RCDATA", menu.resource)->file;
        checked.bitmapFile = index_->Find("BITMAP", menu.resource)->file;
        checked.bitmap = resources.bitmaps.at(menu.resource);
        if (const ResourceEntry* twice = index_->Find("BITMAP", DoublePictureName(menu.resource)))
            checked.doubleFile = twice->file;
        for (const Hotspot& hotspot : menu.hotspots)
            checked.hotspots.push_back({hotspot, hotspot.line});
        return checked;
    }

    // The line ends and the damaged lines of each menu index, once for all
    // the menus that name it, under the name of the first of them.
    void CheckMenuIndex(const CheckedMenu& menu)
    {
        const std::size_t position = static_cast<std::size_t>(&menu - result_.menus.data());
        if (!firstMenuOfResource_.emplace(UpperCaseKey(menu.resource), position).second)
            return;
        std::string text;
        ReadWholeFile(menu.indexFile, text);
        CheckLineEnds(menu.indexFile, text, &menu.resource);
        CheckNulBytes(menu.indexFile, text, &menu.resource);
        for (const LoadProblem& problem : indexProblems_[menu.resource])
            AddFor(menu.indexFile, problem.lineNumber, Severity::Error, CodeOf(problem.kind), FindingText(problem),
                   &menu.resource, 0);
        CheckFields(menu, text);
    }

    // The fields of each line as autorun's loader cuts them; the hotspots
    // are the complete lines, counted from 1.
    void CheckFields(const CheckedMenu& menu, const std::string& text)
    {
        IndexReader reader(text, MenuIndexFields);
        int hotspot = 0;
        for (IndexRecord record; reader.Next(record);) {
            const int position = record.complete ? ++hotspot : 0;
            for (std::size_t i = 0; i < record.fields.size(); ++i)
                CheckLength(menu.indexFile, record.number, record.fields[i], MenuIndexFieldNames[i], &menu.resource,
                            position);
            if (!record.complete)
                continue;
            for (std::size_t i = 0; i < 4; ++i) {
                const FieldFinding finding = CheckCoordinate(record.fields[i]);
                if (!finding.code.empty())
                    AddFor(menu.indexFile, record.number, Severity::Warning, finding.code, finding.text, &menu.resource,
                           position);
            }
        }
    }

    void CheckGeometry(const CheckedMenu& menu)
    {
        std::vector<const CheckedHotspot*> placed;
        for (const CheckedHotspot& spot : menu.hotspots) {
            const Hotspot& h = spot.hotspot;
            const std::string rect = DescribeRect(h);
            if (h.left > h.right || h.top > h.bottom) {
                AddFor(menu, spot, "hotspot-inverted",
                       "hotspot " + rect + " is inverted (right before left or bottom above top); it can never be hit");
                continue;
            }
            if (h.left == h.right || h.top == h.bottom) {
                AddFor(menu, spot, "hotspot-empty", "hotspot " + rect + " is empty; it can never be hit");
                continue;
            }
            if (h.left < 0 || h.top < 0 || h.right > menu.bitmap.width || h.bottom > menu.bitmap.height) {
                AddFor(menu, spot, "hotspot-outside-bitmap",
                       "hotspot " + rect + " reaches outside the " + std::to_string(menu.bitmap.width) + " x " +
                           std::to_string(menu.bitmap.height) + " bitmap");
            }
            placed.push_back(&spot);
        }
        CheckOverlaps(menu, placed);
    }

    // Each hotspot that lies over an earlier one is reported once, with the
    // first it overlaps; a menu full of them gets a bounded list and one
    // finding for the rest.
    void CheckOverlaps(const CheckedMenu& menu, const std::vector<const CheckedHotspot*>& placed)
    {
        std::vector<Rect> rects;
        rects.reserve(placed.size());
        for (const CheckedHotspot* spot : placed)
            rects.push_back(spot->hotspot);
        const OverlapSearch search = FindOverlaps(rects, MaxOverlapFindings, OverlapWorkBound);
        for (const auto& [later, earlier] : search.found) {
            AddFor(menu, *placed[later], "hotspot-overlap",
                   "hotspot " + DescribeRect(placed[later]->hotspot) + " overlaps the one of line " +
                       std::to_string(placed[earlier]->line) + "; a click there hits only the earlier one");
        }
        if (search.more) {
            const CheckedHotspot& last = *placed[search.found.back().first];
            AddFor(menu.indexFile, last.line, Severity::Warning, "hotspot-overlap-summary",
                   "more hotspots after this one overlap earlier ones; only the first " +
                       std::to_string(MaxOverlapFindings) + " are listed",
                   &menu.resource, 0);
        }
        if (!search.complete) {
            const CheckedHotspot& first = *placed[search.stoppedAt];
            AddFor(menu.indexFile, first.line, Severity::Warning, "overlap-check-incomplete",
                   "the hotspots from this line on were not compared for overlaps: too many of them lie across "
                   "one another",
                   &menu.resource, 0);
        }
    }

    void CheckCommands(const CheckedMenu& menu)
    {
        const std::set<std::string>& languages = languagesOfResource_[UpperCaseKey(menu.resource)];
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
                    if (defined_.count({language, h.argument}) == 0)
                        AddFor(menu, spot, "showmenu-unknown-menu",
                               "showmenu " + Quoted(h.argument) + ": no line of language " + Quoted(language) +
                                   " in the main index defines that menu; the click does nothing");
                }
                break;
            case CommandKind::Execute: {
                anyTakesFocus = true;
                const FieldFinding word = CheckCommandWord(h.command, h.argument);
                if (!word.code.empty())
                    AddFor(menu, spot, word.code, word.text);
                CheckTarget(menu, spot);
                break;
            }
            }
        }
        if (menu.hotspots.empty())
            AddFor(menu.mainIndexFile, menu.mainIndexLine, Severity::Warning, "menu-without-hotspots",
                   "menu " + Quoted(menu.name) + " has no hotspots", &menu.resource, 0);
        else if (!anyTakesFocus)
            AddFor(
                menu.mainIndexFile, menu.mainIndexLine, Severity::Warning, "menu-without-focus",
                "menu " + Quoted(menu.name) + " has no hotspot but \"close\" ones, so none can take the keyboard focus",
                &menu.resource, 0);
    }

    void CheckTarget(const CheckedMenu& menu, const CheckedHotspot& spot)
    {
        const ExecuteParts parts = SplitExecuteArgument(spot.hotspot.argument);
        if (parts.target.empty()) {
            AddFor(menu, spot, "nothing-to-start", "command " + Quoted(spot.hotspot.command) + " has nothing to start");
            return;
        }
        const TargetJudgement judged = JudgeStartTarget(parts.target);
        if (!judged.finding.code.empty())
            AddFor(menu, spot, judged.finding.code, judged.finding.text);
        if (options_.discDir.empty())
            return;
        if (judged.kind == TargetKind::DiscPath)
            CheckOnDisc(menu, spot, parts.target, "start target");
        else if (judged.kind == TargetKind::BareName && !ProgramOnDisc(parts.target) && !IsWindowsProgram(parts.target))
            AddFor(menu, spot, "target-unknown-program",
                   "start target " + QuotedExcerpt(parts.target) + " is neither in the root of the disc tree " +
                       options_.discDir + " nor a program of Windows that the shell finds by its name");
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
            AddFor(menu, spot, "target-not-on-disc",
                   what + " " + Quoted(path) + " is not in the disc tree " + options_.discDir);
    }

    // A program's name in the disc's root, where the shell looks first (the
    // working directory); without an extension, as the shell completes it.
    bool ProgramOnDisc(const std::string& name) const
    {
        if (OnDisc(name))
            return true;
        if (name.find('.') != std::string::npos)
            return false;
        for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
            if (OnDisc(name + extension))
                return true;
        }
        return false;
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
                if (UpperCaseKey(it->path().filename().string()) == UpperCaseKey(part)) {
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
        std::map<std::string, std::vector<const CheckedMenu*>> menusOf;
        for (const CheckedMenu& menu : result_.menus)
            menusOf[menu.language].push_back(&menu);
        for (const auto& [language, line] : firstLine) {
            if (withRoot.count(language) == 0) {
                Add(mainFile_, line, Severity::Error, "language-without-root-menu",
                    "language " + Quoted(language) +
                        " has no root menu (a line with an empty name); autorun "
                        "reports \"no root menu found\" and ends");
                continue;
            }
            CheckRootMenu(language, menusOf[language]);
        }
    }

    void CheckRootMenu(const std::string& language, const std::vector<const CheckedMenu*>& menus)
    {
        const CheckedMenu* root = nullptr;
        bool forEveryone = false;
        for (const CheckedMenu* menu : menus) {
            if (!menu->name.empty())
                continue;
            if (root == nullptr)
                root = menu;
            forEveryone = forEveryone || menu->country.empty();
        }
        if (root == nullptr)
            return;  // its root menu did not load; that is reported already
        if (!forEveryone)
            AddFor(root->mainIndexFile, root->mainIndexLine, Severity::Warning, "root-menu-for-one-country",
                   "the root menu of language " + Quoted(language) + " is only for users in " + Quoted(root->country) +
                       "; everyone else gets \"no root menu found\"",
                   &root->resource, 0);
        for (const CheckedMenu* menu : menus) {
            if (menu == root)
                continue;
            if (menu->bitmap.width != root->bitmap.width || menu->bitmap.height != root->bitmap.height)
                AddFor(menu->mainIndexFile, menu->mainIndexLine, Severity::Warning, "bitmap-size-differs",
                       "bitmap " + Quoted(menu->resource) + " is " + std::to_string(menu->bitmap.width) + " x " +
                           std::to_string(menu->bitmap.height) + ", but the window keeps the root menu's " +
                           std::to_string(root->bitmap.width) + " x " + std::to_string(root->bitmap.height),
                       &menu->resource, 0);
        }
    }

    const CheckOptions& options_;
    CheckResult result_;
    std::vector<ResourceEntry> entries_;
    std::unique_ptr<ResourceIndex> index_;
    std::string mainFile_;
    std::vector<IndexRecord> mainLines_;
    std::map<std::string, std::vector<LoadProblem>> indexProblems_;  // by resource as the main index names it
    std::set<std::pair<std::string, int>> seenIndexLines_;
    std::map<std::string, std::size_t> firstMenuOfResource_;  // by Key of the resource
    std::set<std::pair<std::string, std::string>> defined_;   // language and name of each complete main-index line
    std::map<std::string, std::set<std::string>> languagesOfResource_;  // by Key of the resource
};

}  // namespace

CheckResult CheckMenus(const CheckOptions& options)
{
    return Checker(options).Run();
}

std::vector<std::size_t> FocusOrder(const std::vector<CheckedHotspot>& hotspots)
{
    // The Tab key visits, in line order, every hotspot that takes the focus:
    // all but "close", as autorun's interaction decides.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < hotspots.size(); ++i) {
        if (ChooseCommand(hotspots[i].hotspot.command) != CommandKind::Close)
            order.push_back(i);
    }
    return order;
}

// Cuts the main index and the menu indexes into menus and hotspots. The texts
// come from resources that anyone can edit in the program file: untrusted
// bytes of any length, never NUL-terminated.
#include "autorun/menu_text.h"

#include "autorun/accessible_menu.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

constexpr const char* LineBreak = "\r\n";

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

LoadProblem ProblemOf(LoadProblemKind kind, const std::string& resource, const IndexRecord& record)
{
    LoadProblem problem;
    problem.kind = kind;
    problem.resource = resource;
    problem.line = record.line;
    problem.lineNumber = record.number;
    return problem;
}

Hotspot ReadHotspot(IndexRecord& record)
{
    Hotspot hotspot;
    hotspot.left = ReadCoordinate(record.fields[0]);
    hotspot.top = ReadCoordinate(record.fields[1]);
    hotspot.right = ReadCoordinate(record.fields[2]);
    hotspot.bottom = ReadCoordinate(record.fields[3]);
    hotspot.command = std::move(record.fields[4]);
    hotspot.argument = std::move(record.fields[5]);
    hotspot.line = record.number;
    return hotspot;
}

// Name line N belongs to hotspot line N, counted as the reader sees the
// lines: a damaged line keeps its name line, so the names after it stay with
// their hotspots.
void ReadHotspots(MenuResources& resources, const std::string& resourceName, const std::string& text,
                  const std::vector<std::string>& names, Menu& menu)
{
    IndexReader reader(text, MenuIndexFields);
    IndexRecord record;
    for (std::size_t ordinal = 0; reader.Next(record); ++ordinal) {
        if (!record.complete) {
            resources.Report(ProblemOf(LoadProblemKind::BadMenuIndexLine, resourceName, record));
            continue;
        }
        menu.hotspots.push_back(ReadHotspot(record));
        if (ordinal < names.size())
            menu.hotspots.back().name = names[ordinal];
    }
}

// One main-index line of the wanted language; the menu is appended only when
// both its index and its bitmap load.
void LoadMenuOfLine(MenuResources& resources, const IndexRecord& record, Menus& menus)
{
    Menu menu;
    menu.title = record.fields[MainIndex::Title];
    menu.name = record.fields[MainIndex::Name];
    menu.country = record.fields[MainIndex::Country];
    menu.resource = record.fields[MainIndex::Resource];
    menu.line = record.number;

    std::string index;
    if (!resources.LoadText(menu.resource, index)) {
        resources.Report(ProblemOf(LoadProblemKind::NoMenuIndex, menu.resource, record));
        return;
    }
    if (!resources.LoadBitmap(menu.resource, menu)) {
        resources.Report(ProblemOf(LoadProblemKind::NoMenuBitmap, menu.resource, record));
        return;
    }
    std::string names;
    resources.LoadNames(menu.resource, names);
    ReadHotspots(resources, menu.resource, index, ReadHotspotNames(names), menu);
    menus.push_back(std::move(menu));
}

}  // namespace

bool IndexReader::Next(IndexRecord& record)
{
    while (!done_) {
        const std::size_t start = position_;
        const std::size_t lineBreak = text_.find(LineBreak, start);
        const std::size_t end = lineBreak == std::string::npos ? text_.size() : lineBreak;
        const int number = number_;
        // A lone LF ends no line here, but an editor starts a new one there.
        number_ += static_cast<int>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(start),
                                               text_.begin() + static_cast<std::ptrdiff_t>(end), '\n')) +
                   1;
        done_ = lineBreak == std::string::npos;
        position_ = done_ ? end : lineBreak + 2;
        if (end == start)
            continue;
        record.line.assign(text_, start, end - start);
        record.number = number;
        record.fields.clear();
        record.complete = SplitString(";", record.line, record.fields, fieldCount_) >= fieldCount_;
        return true;
    }
    return false;
}

std::size_t SplitString(const std::string& delimiter, const std::string& text, std::vector<std::string>& out,
                        std::size_t maxFields)
{
    std::size_t count = 0;
    std::size_t position = 0;
    for (;;) {
        ++count;
        if (maxFields != 0 && count >= maxFields)
            break;
        // An empty delimiter would match everywhere without moving on.
        const std::size_t match = delimiter.empty() ? std::string::npos : text.find(delimiter, position);
        if (match == std::string::npos)
            break;
        out.push_back(text.substr(position, match - position));
        position = match + delimiter.size();
    }
    out.push_back(text.substr(position));
    return count;
}

std::int32_t ReadCoordinate(const std::string& field)
{
    constexpr std::int64_t Highest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t Lowest = std::numeric_limits<std::int32_t>::min();

    std::size_t i = 0;
    while (i < field.size() && IsAsciiSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    // Accumulate the magnitude and stop growing it once it is out of range, so
    // any number of digits saturates like strtol instead of overflowing.
    std::int64_t magnitude = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (magnitude <= Highest + 1)
            magnitude = magnitude * 10 + (field[i] - '0');
    }
    if (negative)
        return static_cast<std::int32_t>(magnitude > -Lowest ? Lowest : -magnitude);
    return static_cast<std::int32_t>(magnitude > Highest ? Highest : magnitude);
}

bool LoadMenusFrom(MenuResources& resources, const std::string& language, Menus& menus)
{
    std::string mainIndex;
    if (!resources.LoadText(MainIndexResource, mainIndex)) {
        LoadProblem problem;
        problem.kind = LoadProblemKind::NoMainIndex;
        problem.resource = MainIndexResource;
        resources.Report(problem);
        return !menus.empty();
    }

    IndexReader reader(mainIndex, MainIndex::Fields);
    IndexRecord record;
    while (reader.Next(record)) {
        // The field count is checked before the language, so a damaged line
        // is reported whichever language it belongs to.
        if (!record.complete) {
            resources.Report(ProblemOf(LoadProblemKind::BadMainIndexLine, MainIndexResource, record));
            continue;
        }
        if (record.fields[MainIndex::Language] != language)
            continue;
        LoadMenuOfLine(resources, record, menus);
    }
    return !menus.empty();
}

MenuPosition FindMenuIn(const Menus& menus, const std::string& name, const std::string& userCountry)
{
    for (MenuPosition pos = 0; pos < menus.size(); ++pos) {
        const Menu& menu = menus[pos];
        if (menu.name == name && (menu.country.empty() || menu.country == userCountry))
            return pos;
    }
    return NoMenu;
}

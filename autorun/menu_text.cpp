// Cuts the main index and the menu indexes into menus and hotspots. The texts
// come from resources that anyone can edit in the program file: untrusted
// bytes of any length, never NUL-terminated.
#include "autorun/menu_text.h"

#include <cstdint>
#include <limits>

namespace {

constexpr const char* LineBreak = "\r\n";
constexpr std::size_t MainIndexFields = 5;
constexpr std::size_t MenuIndexFields = 6;

// A text as a printf "%s" shows it: up to its first NUL byte.
std::string AsShown(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

Hotspot ReadHotspot(const std::vector<std::string>& fields)
{
    Hotspot hotspot;
    hotspot.left = ReadCoordinate(fields[0]);
    hotspot.top = ReadCoordinate(fields[1]);
    hotspot.right = ReadCoordinate(fields[2]);
    hotspot.bottom = ReadCoordinate(fields[3]);
    hotspot.command = fields[4];
    hotspot.argument = fields[5];
    return hotspot;
}

void ReadHotspots(MenuResources& resources, const std::string& resourceName, const std::string& text,
                  Menu& menu)
{
    std::vector<std::string> lines;
    SplitString(LineBreak, text, lines, 0);
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        std::vector<std::string> fields;
        if (SplitString(";", line, fields, MenuIndexFields) < MenuIndexFields) {
            resources.Report("error: invalid line in menu index \"" + AsShown(resourceName) + "\":\n" +
                             AsShown(line) + "\n");
            continue;
        }
        menu.hotspots.push_back(ReadHotspot(fields));
    }
}

// One main-index line of the wanted language; the menu is appended only when
// both its index and its bitmap load.
void LoadMenuOfLine(MenuResources& resources, const std::vector<std::string>& fields, Menus& menus)
{
    Menu menu;
    menu.title = fields[4];
    menu.name = fields[1];
    menu.country = fields[2];
    const std::string& resourceName = fields[3];

    std::string index;
    if (!resources.LoadText(resourceName, index)) {
        resources.Report("error: can't load menu index \"" + AsShown(resourceName) + "\" from resources\n");
        return;
    }
    if (!resources.LoadBitmap(resourceName, menu)) {
        resources.Report("error: can't load menu bitmap \"" + AsShown(resourceName) + "\" from resources\n");
        return;
    }
    ReadHotspots(resources, resourceName, index, menu);
    menus.push_back(std::move(menu));
}

}  // namespace

std::size_t SplitString(const std::string& delimiter, const std::string& text,
                        std::vector<std::string>& out, std::size_t maxFields)
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
    if (!resources.LoadText("menu", mainIndex)) {
        resources.Report("error: can't load main index from resources\n");
        return !menus.empty();
    }

    std::vector<std::string> lines;
    SplitString(LineBreak, mainIndex, lines, 0);
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        std::vector<std::string> fields;
        // The field count is checked before the language, so a damaged line
        // is reported whichever language it belongs to.
        if (SplitString(";", line, fields, MainIndexFields) < MainIndexFields) {
            resources.Report("error: invalid line in main index:\n" + AsShown(line) + "\n");
            continue;
        }
        if (fields[0] != language)
            continue;
        LoadMenuOfLine(resources, fields, menus);
    }
    return !menus.empty();
}

MenuPosition FindMenuIn(const Menus& menus, const std::string& name,
                        const std::function<bool(const std::string& country)>& countryMatches)
{
    for (MenuPosition pos = 0; pos < menus.size(); ++pos) {
        if (menus[pos].name == name && countryMatches(menus[pos].country))
            return pos;
    }
    return NoMenu;
}

// Draws the menu previews with ImageMagick's convert, started directly with
// an argument vector: the labels come from the menu sources, and no shell
// ever sees them.
#include "disckit/menucheck/preview.h"

#include "autorun/commands_logic.h"
#include "autorun/menu_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <utility>

extern char** environ;

namespace {

constexpr const char* Font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int PointSize = 11;
constexpr int CharWidth = 7;  // a generous average at that size
constexpr int LineHeight = 13;
constexpr std::size_t MaxLabel = 40;
constexpr const char* FocusColour = "#ff2020";
constexpr const char* CloseColour = "#d000d0";

std::string Safe(const std::string& text)
{
    std::string safe;
    for (char c : text)
        safe += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
    return safe;
}

std::string LastPathPart(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a start command opens: the last parameter that is a path, else the
// target itself.
std::string OpenedFile(const std::string& argument)
{
    const ExecuteParts parts = SplitExecuteArgument(argument);
    std::vector<std::string> words;
    SplitString(" ", parts.parameters, words, 0);
    for (auto word = words.rbegin(); word != words.rend(); ++word) {
        if (word->find('\\') != std::string::npos)
            return LastPathPart(*word);
    }
    return LastPathPart(parts.target);
}

// convert reads % escapes and backslashes in annotation texts, and a text
// that starts with @ as a file name.
std::string ForAnnotate(const std::string& text)
{
    std::string escaped = text.empty() || text[0] != '@' ? "" : " ";
    for (char c : text) {
        if (c == '%' || c == '\\')
            escaped += c;
        escaped += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return escaped;
}

// Characters, not bytes, of a UTF-8 text: what the label's width and
// length go by.
std::size_t Characters(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The first `count` characters of a UTF-8 text, never half of one.
std::string FirstCharacters(const std::string& text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && seen++ == count)
            break;
    }
    return text.substr(0, end);
}

std::int32_t Clamp(std::int32_t value, std::int32_t low, std::int32_t high)
{
    return std::max(low, std::min(value, high));
}

std::string Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return "rectangle " + std::to_string(left) + "," + std::to_string(top) + " " + std::to_string(right) + "," +
           std::to_string(bottom);
}

bool Run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::string PreviewFileName(const CheckedMenu& menu)
{
    std::string name = Safe(menu.language) + "-" + (menu.name.empty() ? "root" : Safe(menu.name));
    if (!menu.country.empty())
        name += "-" + Safe(menu.country);
    return name + ".png";
}

std::string PreviewLabel(const Hotspot& hotspot, std::size_t focusPlace, const std::string& name)
{
    std::string label = focusPlace == 0 ? std::string() : std::to_string(focusPlace) + " ";
    if (!name.empty())
        label += name + " (";
    label += hotspot.command;
    switch (ChooseCommand(hotspot.command)) {
    case CommandKind::ShowMenu:
        label += " " + (hotspot.argument.empty() ? std::string("(root)") : hotspot.argument);
        break;
    case CommandKind::Execute:
        label += " " + OpenedFile(hotspot.argument);
        break;
    default:
        break;
    }
    if (!name.empty())
        label += ")";
    if (Characters(label) > MaxLabel)
        label = FirstCharacters(label, MaxLabel - 3) + "...";
    return label;
}

namespace {

// The names of a menu's hotspots by the line of its index they stand on,
// from NAMES_DIR/RESOURCE.names (resource in lower case): UTF-8, line N the
// name of the hotspot on line N of the index, as the kit writes them for
// the preview. None when `namesDir` is empty or holds no such file.
std::vector<std::string> PreviewNames(const std::string& namesDir, const std::string& resource)
{
    std::vector<std::string> names;
    if (namesDir.empty())
        return names;
    std::string file = resource;
    std::transform(file.begin(), file.end(), file.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::ifstream in(std::filesystem::path(namesDir) / (file + ".names"), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        names.push_back(line);
    }
    return names;
}

// One picture of `menu`: `picture` drawn `scale` times the menu's size, its
// frames and labels at that scale too, so a reviewer of the 200 % picture
// sees the hotspots where autorun puts them.
bool WritePreview(const CheckedMenu& menu, const std::vector<std::string>& names, const std::string& picture,
                  std::int32_t scale, const std::string& output)
{
    const std::int32_t width = menu.bitmap.width * scale;
    const std::int32_t height = menu.bitmap.height * scale;
    const std::int32_t lineHeight = LineHeight * scale;
    std::vector<std::string> args{"convert", picture};
    if (std::filesystem::exists(Font))
        args.insert(args.end(), {"-font", Font});
    args.insert(args.end(),
                {"+antialias", "-pointsize", std::to_string(PointSize * scale), "-strokewidth", std::to_string(scale)});

    // Each hotspot's place in the focus order, 1-based; 0: never focused.
    std::vector<std::size_t> focusPlaces(menu.hotspots.size(), 0);
    const std::vector<std::size_t> order = FocusOrder(menu.hotspots);
    for (std::size_t place = 0; place < order.size(); ++place)
        focusPlaces[order[place]] = place + 1;
    for (std::size_t i = 0; i < menu.hotspots.size(); ++i) {
        const Hotspot& h = menu.hotspots[i].hotspot;
        const std::size_t focusPlace = focusPlaces[i];
        const char* colour = focusPlace == 0 ? CloseColour : FocusColour;
        // The rectangle's right and bottom edges lie outside it, as in a
        // Windows RECT; the frame is drawn on the pixels inside.
        const std::int32_t l = Clamp(h.left * scale, -1, width), t = Clamp(h.top * scale, -1, height);
        const std::int32_t r = Clamp(h.right * scale - 1, -1, width), b = Clamp(h.bottom * scale - 1, -1, height);
        // A white edge outside the frame and a black one inside it: the
        // frame stays visible on dark buttons and on light ones.
        args.insert(args.end(), {"-fill", "none", "-stroke", "white", "-draw",
                                 Rectangle(l - scale, t - scale, r + scale, b + scale)});
        if (r - l > 2 * scale && b - t > 2 * scale)
            args.insert(args.end(), {"-stroke", "black", "-draw", Rectangle(l + scale, t + scale, r - scale, b - scale)});
        args.insert(args.end(), {"-stroke", colour, "-draw", Rectangle(l, t, r, b)});

        const std::size_t line = static_cast<std::size_t>(menu.hotspots[i].line);
        const std::string label = PreviewLabel(h, focusPlace, line >= 1 && line <= names.size() ? names[line - 1] : "");
        const std::int32_t textWidth = static_cast<std::int32_t>(Characters(label)) * CharWidth * scale;
        // Beside the frame, where stacked buttons leave room: to the
        // right, else to the left, else over the rectangle itself.
        std::int32_t x = r + 4 * scale;
        if (x + textWidth > width)
            x = l - 4 * scale - textWidth >= 0 ? l - 4 * scale - textWidth
                                               : Clamp(l, 0, std::max(0, width - textWidth));
        const std::int32_t y = Clamp(t + lineHeight - 1, lineHeight, std::max(lineHeight, height - 2 * scale));
        args.insert(args.end(), {"-stroke", "none", "-fill", "white", "-undercolor", colour, "-annotate",
                                 "+" + std::to_string(x) + "+" + std::to_string(y), ForAnnotate(label)});
    }
    args.push_back("PNG24:" + output);
    return Run(args);
}

}  // namespace

bool WritePreviews(const std::vector<CheckedMenu>& menus, const std::string& directory, const std::string& namesDir,
                   std::vector<Diagnostic>& diagnostics)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    bool allWritten = true;
    for (const CheckedMenu& menu : menus) {
        const std::string name = PreviewFileName(menu);
        const std::vector<std::string> names = PreviewNames(namesDir, menu.resource);
        std::vector<std::pair<std::string, std::int32_t>> pictures{{menu.bitmapFile, 1}};
        // The 200 % picture only where it is usable; check reports the others.
        if (menu.doubleBitmap.width != 0)
            pictures.emplace_back(menu.doubleFile, 2);
        for (const auto& [picture, scale] : pictures) {
            const std::string file = scale == 1 ? name : name.substr(0, name.size() - 4) + "@2x.png";
            const std::string output = (std::filesystem::path(directory) / file).string();
            if (!WritePreview(menu, names, picture, scale, output)) {
                diagnostics.emplace_back(output, 0, Severity::Error, "convert could not draw the preview",
                                         "preview-failed");
                allWritten = false;
            }
        }
    }
    return allWritten;
}

#include "disckit/menucheck/double_pictures.h"

#include "disckit/menucheck/text_file.h"

#include <map>
#include <set>
#include <string>

namespace {

std::string Size(std::int32_t width, std::int32_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The finding for a 200 % picture that autorun cannot use; empty when it is
// exactly twice the 100 % picture.
std::string DoubleProblem(const CheckedMenu& menu, BmpHeader& header)
{
    std::string bytes;
    std::string problem;
    if (!ReadWholeFile(menu.doubleFile, bytes))
        return "cannot read the 200 % picture of menu " + Quoted(menu.resource);
    if (!ReadBmpHeader(bytes, header, problem))
        return "the 200 % picture of menu " + Quoted(menu.resource) + " is no bitmap autorun can load: " + problem;
    if (header.width != 2 * menu.bitmap.width || header.height != 2 * menu.bitmap.height)
        return "the 200 % picture of menu " + Quoted(menu.resource) + " is " + Size(header.width, header.height) +
               ", but its 100 % picture is " + Size(menu.bitmap.width, menu.bitmap.height) + ": it must be exactly " +
               Size(2 * menu.bitmap.width, 2 * menu.bitmap.height);
    return std::string();
}

}  // namespace

std::string DoublePictureName(const std::string& resource)
{
    return resource + "@2x";
}

void CheckDoublePictures(std::vector<CheckedMenu>& menus, std::vector<Diagnostic>& diagnostics)
{
    // Each picture is judged once, however many languages use its menu.
    std::map<std::string, std::pair<std::string, BmpHeader>> judged;  // by file: problem, header
    bool anyDouble = false;
    for (CheckedMenu& menu : menus) {
        if (menu.doubleFile.empty())
            continue;
        anyDouble = true;
        auto found = judged.find(menu.doubleFile);
        if (found == judged.end()) {
            BmpHeader header;
            const std::string problem = DoubleProblem(menu, header);
            found = judged.emplace(menu.doubleFile, std::make_pair(problem, header)).first;
            if (!problem.empty()) {
                Diagnostic& diagnostic =
                    diagnostics.emplace_back(menu.doubleFile, 0, Severity::Error, problem, "double-picture-size");
                diagnostic.menu = menu.resource;
            }
        }
        if (found->second.first.empty())
            menu.doubleBitmap = found->second.second;
    }
    if (!anyDouble)
        return;

    // A project that opted in: every language's menus without a 200 %
    // picture, named once each, on the first such menu's main-index line.
    std::map<std::string, std::vector<const CheckedMenu*>> lacking;
    std::vector<std::string> order;
    for (const CheckedMenu& menu : menus) {
        if (!menu.doubleFile.empty())
            continue;
        auto& list = lacking[menu.language];
        if (list.empty())
            order.push_back(menu.language);
        list.push_back(&menu);
    }
    for (const std::string& language : order) {
        const std::vector<const CheckedMenu*>& list = lacking[language];
        std::set<std::string> named;
        std::string names;
        for (const CheckedMenu* menu : list) {
            if (named.insert(menu->resource).second)
                names += (names.empty() ? "" : ", ") + Quoted(menu->resource);
        }
        diagnostics.emplace_back(list.front()->mainIndexFile, list.front()->mainIndexLine, Severity::Warning,
                                 "language " + Quoted(language) + " has no 200 % picture for " + names +
                                     "; above 100 % those menus are enlarged from their 100 % pictures",
                                 "double-picture-missing");
    }
}

// Loading of the menu definitions: the main index, the menu indexes and their
// problems. Platform-free; the resource texts it cuts are untrusted bytes.
#pragma once

#include "autorun/load_problem.h"
#include "autorun/menu.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the loader needs of the program's resources, and where it reports.
class MenuResources {
public:
    virtual ~MenuResources() = default;
    // The bytes of the raw-data resource `name`; false leaves `out` unchanged.
    virtual bool LoadText(const std::string& name, std::string& out) = 0;
    // Loads the bitmap `name` into menu.bitmap and menu.bitmapInfo.
    virtual bool LoadBitmap(const std::string& name, Menu& menu) = 0;
    // One problem, in the order the loader meets them.
    virtual void Report(const LoadProblem& problem) = 0;
    // The hotspot names of the menu `name`, one a line; false when the menus
    // carry none, which is no problem at all.
    virtual bool LoadNames(const std::string& /*name*/, std::string& /*out*/) { return false; }
};

// The raw-data resource that holds the main index.
constexpr const char* MainIndexResource = "menu";

// The fields of a main-index line, "language;name;country;resource;title".
namespace MainIndex {
constexpr std::size_t Language = 0;
constexpr std::size_t Name = 1;
constexpr std::size_t Country = 2;
constexpr std::size_t Resource = 3;
constexpr std::size_t Title = 4;
constexpr std::size_t Fields = 5;
}  // namespace MainIndex

// The fields of a menu-index line: "left;top;right;bottom;command;argument".
constexpr std::size_t MenuIndexFields = 6;

// One line of a main index or a menu index, cut into its fields.
struct IndexRecord {
    std::string line;                 // without its CR LF
    int number = 0;                   // where it starts: 1 for the first line, counting every LF
    std::vector<std::string> fields;  // at most the wanted number, the last holding the unsplit rest
    bool complete = false;            // all the wanted fields are there
};

// Reads an index the way autorun does: only CR LF ends a line (a lone CR or
// LF stays in it), empty lines are passed over, and each line is cut at ";"
// into at most `fieldCount` fields. The text must outlive the reader.
class IndexReader {
public:
    IndexReader(const std::string& text, std::size_t fieldCount) : text_(text), fieldCount_(fieldCount) {}
    // Fills `record` with the next non-empty line; false after the last.
    bool Next(IndexRecord& record);

private:
    const std::string& text_;
    std::size_t fieldCount_;
    std::size_t position_ = 0;
    int number_ = 1;
    bool done_ = false;
};

// Appends the fields of `text` cut at `delimiter` to `out`, at most
// `maxFields` of them (0: no limit), the last holding the unsplit rest.
// Returns the number of fields appended.
std::size_t SplitString(const std::string& delimiter, const std::string& text, std::vector<std::string>& out,
                        std::size_t maxFields);

// A coordinate field read the way atol reads it; values beyond the 32-bit
// range are clamped, as strtol clamps, instead of overflowing.
std::int32_t ReadCoordinate(const std::string& field);

// Appends every menu of `language` that loads completely to `menus`.
// Returns true when `menus` is not empty afterwards.
bool LoadMenusFrom(MenuResources& resources, const std::string& language, Menus& menus);

// The first menu named `name` that is for everyone (no country) or for
// `userCountry`, the English name of the user's country ("" when it cannot be
// read: then only the menus for everyone qualify); NoMenu when there is none.
MenuPosition FindMenuIn(const Menus& menus, const std::string& name, const std::string& userCountry);

// Checks of single fields and lines of the menu texts: what autorun reads
// without a complaint but not the way its author meant.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A field from this length on is a damaged or wrong file, not a menu text.
constexpr std::size_t LongFieldLength = 10000;

struct FieldFinding {
    std::string code;  // empty: nothing to report
    std::string text;
};

// The editor's line numbers (counting LFs) of the lines that hold a NUL
// byte, each once: Windows reads a text that is handed to it only up to
// the first NUL.
std::vector<int> LinesWithNul(const std::string& text);

// A coordinate field that autorun reads differently from how it looks:
// text after the number ("4O", "1e2", "12px") or no number at all. Blanks
// around the number are fine, as atol skips them.
FieldFinding CheckCoordinate(const std::string& field);

// A command word other than close, showmenu, back and execute: autorun
// starts the argument through the shell; a near miss gets a suggestion.
FieldFinding CheckCommandWord(const std::string& command, const std::string& argument);

// A field of LongFieldLength characters or more, named by `what`.
FieldFinding CheckFieldLength(const std::string& field, const std::string& what);

// `text` quoted, cut short with "..." when it is long.
std::string QuotedExcerpt(const std::string& text);

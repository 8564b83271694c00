// What the menu loader finds wrong in the resources: one record per problem,
// and the one text that autorun writes to its standard output for it.
// Platform-free; the menu checker takes the same records.
#pragma once

#include <string>

enum class LoadProblemKind {
    NoMainIndex,       // the main index is not among the resources
    BadMainIndexLine,  // a main-index line with too few fields
    NoMenuIndex,       // the index named by a main-index line is not among the resources
    NoMenuBitmap,      // the bitmap named by a main-index line does not load
    BadMenuIndexLine,  // a menu-index line with too few fields
};

struct LoadProblem {
    LoadProblemKind kind = LoadProblemKind::NoMainIndex;
    // The resource the problem is about: the main index ("menu") for the
    // first two kinds, else the menu's index and bitmap, which share a name.
    std::string resource;
    // The line that led to the problem, without its CR LF, and where it
    // starts within its resource (1 for the first line, counting every LF as
    // an editor does): a damaged line itself, or the main-index line that
    // names a missing index or bitmap. Empty and 0 for a missing main index.
    std::string line;
    int lineNumber = 0;
};

// A text as a printf "%s" shows it: up to its first NUL byte.
std::string AsShown(const std::string& text);

// What went wrong, without "error: " and without the line:
// "can't load menu index \"menu-de\" from resources".
std::string LoadProblemHeadline(const LoadProblem& problem);

// True for the kinds whose message shows the damaged line below the headline.
bool ShowsLine(LoadProblemKind kind);

// The complete message, "error: HEADLINE\n" or "error: HEADLINE:\nLINE\n".
std::string FormatLoadProblem(const LoadProblem& problem);

// Reading the checker's input files, and numbering their lines as an editor
// shows them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The whole file, at most a few megabytes: menu sources are small, and a
// larger file is a mistake, not a menu.
bool ReadWholeFile(const std::string& path, std::string& out);

struct TextLine {
    std::string text;  // without its line end
    int number = 0;    // 1-based, counting line feeds
};

// Lines cut at every LF (a CR before it dropped), for reading scripts.
std::vector<TextLine> CutAtLineFeeds(const std::string& text);

// The editor's line number of the first LF that has no CR before it, or 0.
int FirstBareLineFeed(const std::string& text);

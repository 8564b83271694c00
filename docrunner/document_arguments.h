// What docrunner makes of its command line: the document to open, the reader
// to fall back on, the window that owns the shell request, and the debug
// lines that describe each entry. Platform-free; handle values are integers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DocumentArguments {
    std::string strDocument;              // as written; never made absolute
    std::string strReader;                // program started when the shell refuses
    std::uintptr_t hwndOwner = 0;         // parent of the shell request
    std::vector<std::string> debugLines;  // each ends with "\n"; print in order
};

// Reads the untrusted command-line text. `modulePath` is docrunner's own file:
// the reader is looked for in its folder, up to its last backslash, or by
// name alone when it holds none (a forward slash is no separator).
// `desktopWindow` is the default owner.
DocumentArguments ReadDocumentArguments(const char* commandLineText, const std::string& modulePath,
                                        std::uintptr_t desktopWindow);

// The few lines of a resource script that name the menu resources:
//   NAME RCDATA "file"     NAME BITMAP "file"     #include "other.rc"
// NAME may be quoted ("MENU" must be, it is a keyword of the resource
// compiler). Every other statement is skipped.
#pragma once

#include "disckit/menucheck/diagnostic.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

struct ResourceEntry {
    std::string name;  // as written, quotes removed
    std::string type;  // "RCDATA" or "BITMAP"
    std::string file;  // resolved path of the file it names; empty when not found
    std::string script;
    int line = 0;
};

// Reads `path` and the scripts it includes with quotes. File names resolve
// against the directory of the script that names them, then `includeDirs`,
// as the resource compiler searches them. Problems that would stop the
// resource compiler (a missing file, a resource defined twice, a quoted name
// that joins the previous line's file name) go to `diagnostics` as errors.
std::vector<ResourceEntry> ReadResourceScript(const std::string& path, const std::vector<std::string>& includeDirs,
                                              std::vector<Diagnostic>& diagnostics);
// The same for a script whose bytes are at hand: `path` names it in the
// findings, and its file names and includes resolve from its directory.
std::vector<ResourceEntry> ReadResourceScriptText(const std::string& text, const std::string& path,
                                                  const std::vector<std::string>& includeDirs,
                                                  std::vector<Diagnostic>& diagnostics);

// Resource names and types, like the disc's file names, match without regard
// to case, as the platform matches them: two names match when their keys are
// equal. The key is the name in ASCII upper case.
std::string UpperCaseKey(std::string name);

// Resource names match without regard to case, as the platform matches them.
const ResourceEntry* FindResource(const std::vector<ResourceEntry>& entries, const std::string& type,
                                  const std::string& name);

// The same lookup through an index made once, for the many lookups of a
// large project. The entries must outlive it unchanged.
class ResourceIndex {
public:
    explicit ResourceIndex(const std::vector<ResourceEntry>& entries);
    const ResourceEntry* Find(const std::string& type, const std::string& name) const;

private:
    std::map<std::pair<std::string, std::string>, const ResourceEntry*> byName_;  // by type and upper-case name
};

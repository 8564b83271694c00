// Cuts the command-line text that a GUI entry point receives into options and
// positional arguments. Shared by autorun and docrunner; platform-free.
// The text is untrusted: any byte sequence must parse.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct CommandLineOption {
    bool valid = false;               // false only for the end marker
    std::string token;                // the token as written
    std::string name;                 // empty for a positional argument
    std::vector<std::string> values;  // exactly one for a positional argument
};

class CommandLine {
public:
    explicit CommandLine(const char* text);

    // The first entry named `name`, or the end marker.
    const CommandLineOption& FindOption(const std::string& name) const;
    // Entry i, or the end marker when i is at or past the end.
    const CommandLineOption& OptionAt(std::size_t i) const;
    // Number of entries, the end marker included. The programs walk with
    // OptionAt; the tests count with this what the walk must reach.
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<CommandLineOption> entries_;  // always ends with the end marker
};

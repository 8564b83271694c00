// What every parse of a command line must satisfy, whatever the text: the
// walk stays inside the text and the entries describe it faithfully. Shared
// by the target for ordinary lengths and the one for overlong lines.
#pragma once

#include "common/command_line.h"

#include <cstdlib>
#include <string>

inline void CheckCommandLine(const std::string& text)
{
    const auto check = [](bool condition) {
        if (!condition)
            std::abort();
    };

    CommandLine line(text.c_str());
    check(line.size() >= 1);
    const CommandLineOption& marker = line.OptionAt(line.size() - 1);
    check(!marker.valid && marker.token.empty() && marker.name.empty() && marker.values.empty());

    // Every entry before the marker is valid, and the tokens are found in the
    // text in order, separated by blanks.
    std::size_t pos = 0;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const CommandLineOption& entry = line.OptionAt(i);
        check(entry.valid);
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        check(text.compare(pos, entry.token.size(), entry.token) == 0);
        pos += entry.token.size();
        check(pos == text.size() || text[pos] == ' ');
        if (pos < text.size())
            ++pos;

        const bool option = !entry.token.empty() && (entry.token[0] == '-' || entry.token[0] == '/');
        if (!option) {
            check(entry.name.empty() && entry.values.size() == 1);
            check(entry.values[0].size() <= entry.token.size());
        } else {
            check(entry.name.size() < entry.token.size());
            check(entry.token.compare(1, entry.name.size(), entry.name) == 0);
            std::size_t total = entry.name.size() + 1;
            for (const std::string& value : entry.values)
                total += value.size();
            check(total <= entry.token.size());
        }
    }
    check(pos == text.size());

    // Lookups never leave the sequence.
    check(&line.OptionAt(line.size()) == &marker);
    check(&line.OptionAt(static_cast<std::size_t>(-1)) == &marker);
    // A sample of names keeps long lines of many tokens fast.
    for (std::size_t i = 0; i < line.size() && i < 64; ++i) {
        const CommandLineOption& found = line.FindOption(line.OptionAt(i).name);
        check(&found >= &line.OptionAt(0) && &found <= &marker);
        check(found.name == line.OptionAt(i).name || &found == &marker);
    }
    check(&line.FindOption(text) >= &line.OptionAt(0));
}

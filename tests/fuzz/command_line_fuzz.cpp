// Arbitrary bytes as a command line: the parse must stay inside the text and
// the entries must describe it faithfully.
#include "common/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Up to the first NUL, like the text a program is handed; also exercise
    // texts far longer than the platform allows (32K characters and beyond).
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::strlen(text.c_str()));
    if (size > 0 && data[0] == 'L') {
        std::string longer;
        while (longer.size() < 32 * 1024) longer += text.empty() ? std::string("x") : text;
        text = longer;
    }

    CommandLine line(text.c_str());
    Check(line.size() >= 1);
    const CommandLineOption& marker = line.OptionAt(line.size() - 1);
    Check(!marker.valid && marker.token.empty() && marker.name.empty() && marker.values.empty());

    // Every entry before the marker is valid, and the tokens are found in the
    // text in order, separated by blanks.
    std::size_t pos = 0;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const CommandLineOption& entry = line.OptionAt(i);
        Check(entry.valid);
        while (pos < text.size() && text[pos] == ' ') ++pos;
        Check(text.compare(pos, entry.token.size(), entry.token) == 0);
        pos += entry.token.size();
        Check(pos == text.size() || text[pos] == ' ');
        if (pos < text.size()) ++pos;

        const bool option = !entry.token.empty() && (entry.token[0] == '-' || entry.token[0] == '/');
        if (!option) {
            Check(entry.name.empty() && entry.values.size() == 1);
            Check(entry.values[0].size() <= entry.token.size());
        } else {
            Check(entry.name.size() < entry.token.size());
            Check(entry.token.compare(1, entry.name.size(), entry.name) == 0);
            std::size_t total = entry.name.size() + 1;
            for (const std::string& value : entry.values) total += value.size();
            Check(total <= entry.token.size());
        }
    }
    Check(pos == text.size());

    // Lookups never leave the sequence.
    Check(&line.OptionAt(line.size()) == &marker);
    Check(&line.OptionAt(static_cast<std::size_t>(-1)) == &marker);
    // A sample of names keeps long lines of many tokens fast.
    for (std::size_t i = 0; i < line.size() && i < 64; ++i) {
        const CommandLineOption& found = line.FindOption(line.OptionAt(i).name);
        Check(&found >= &line.OptionAt(0) && &found <= &marker);
        Check(found.name == line.OptionAt(i).name || &found == &marker);
    }
    Check(&line.FindOption(text) >= &line.OptionAt(0));
    return 0;
}

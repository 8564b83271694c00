// Arbitrary hotspot arguments and program paths through what autorun does
// before it asks the shell to start something: the argument split into
// target and parameters, the placeholders expanded, the program's directory
// and drive worked out. The input is "argument\xffpath".
#include "autorun/commands_logic.h"
#include "autorun/media_removal.h"
#include "autorun/menu_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Replaced(const std::string& text, char marker, const std::string& replacement)
{
    std::string out;
    for (char c : text) {
        if (c == marker)
            out += replacement;
        else
            out += c;
    }
    return out;
}

// An execute plan never asks for the user's country.
std::string NoCountry()
{
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> parts;
    SplitString("\xff", std::string(reinterpret_cast<const char*>(data), size), parts, 2);
    const std::string& argument = parts[0];
    const std::string path = parts.size() > 1 ? parts[1] : std::string();

    // The first blank ends the target, whatever quotes say.
    const ExecuteParts split = SplitExecuteArgument(argument);
    Check(split.target.find(' ') == std::string::npos);
    if (argument.find(' ') == std::string::npos)
        Check(split.target == argument && split.parameters.empty());
    else
        Check(split.target + " " + split.parameters == argument);

    // The directory is the path up to a backslash, or the whole path.
    Hotspot hotspot;
    hotspot.command = "execute";
    hotspot.argument = argument;
    const std::string directory = PlanActivation(hotspot, 1, path, Menus(), NoCountry).directory;
    Check(path.compare(0, directory.size(), directory) == 0);
    Check(directory.size() == path.size() || path[directory.size()] == '\\');

    // Only the low 32 bits of the handle are written, and the directory is
    // inserted as it is, never searched for placeholders again: expanding with
    // a marker byte and putting the directory in its place afterwards gives
    // the same text.
    const std::uint64_t handle = 0x0001d2c4;
    const std::string expanded = ExpandPlaceholders(split.parameters, handle, directory);
    Check(expanded == ExpandPlaceholders(split.parameters, handle | 0xabcd000000000000, directory));
    if (split.parameters.find('\x01') == std::string::npos)
        Check(expanded == Replaced(ExpandPlaceholders(split.parameters, handle, "\x01"), '\x01', directory));
    if (split.parameters.find('%') == std::string::npos)
        Check(expanded == split.parameters);

    // A drive bit is one of the 26 letters, and that letter stands right
    // before the path's first colon.
    const std::uint32_t bit = DriveBitOfPath(path);
    if (bit != NoDriveBit) {
        Check((bit & (bit - 1)) == 0 && bit < (1u << 26));
        const std::size_t colon = path.find(':');
        Check(colon != std::string::npos && colon >= 1);
        int letter = 0;
        while ((1u << letter) != bit)
            ++letter;
        Check((path[colon - 1] | 0x20) == 'a' + letter);
    }
    return 0;
}

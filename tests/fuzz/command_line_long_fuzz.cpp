// Command lines at and beyond the 32K characters the platform allows: the
// input is repeated until the text is that long. Every run handles 32 KiB, so
// this target makes far fewer runs a minute than the others.
#include "tests/fuzz/command_line_checks.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string piece(reinterpret_cast<const char*>(data), size);
    piece.resize(std::strlen(piece.c_str()));
    if (piece.empty())
        piece = "x";
    std::string text;
    while (text.size() < 32 * 1024)
        text += piece;
    CheckCommandLine(text);
    return 0;
}

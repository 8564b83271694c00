// Arbitrary bytes as a command line of ordinary length.
#include "tests/fuzz/command_line_checks.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Up to the first NUL, like the text a program is handed.
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::strlen(text.c_str()));
    CheckCommandLine(text);
    return 0;
}

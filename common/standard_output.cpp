#include "common/standard_output.h"

#include <cstdio>

void WriteStandardOutput(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

// The programs' messages on standard output. Platform-free.
#pragma once

#include <string>

// Writes `text` up to its first NUL and flushes at once, so a message is
// complete on the stream even when the program ends right after it.
void WriteStandardOutput(const std::string& text);

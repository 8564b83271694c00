// Windows paths as text. Platform-free: only the backslash separates folders.
#pragma once

#include <string>

// The folder part of `path`: everything before its last backslash, without
// that backslash. False, with `directory` unchanged, when the path holds no
// backslash; each caller decides what such a path means.
bool DirectoryOf(const std::string& path, std::string& directory);

// The name of the mutex that marks a running copy of the menu. Platform-free.
#pragma once

#include <string>

// Made from the program's path: a backslash would name a kernel object
// namespace, so each becomes '_', and the file system ignores the case of
// ASCII letters, so D:\AUTORUN.EXE and d:\autorun.exe name one program
// ("d:_autorun.exe"). Other bytes stay as they are.
std::string InstanceMutexName(const std::string& programPath);

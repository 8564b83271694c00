// Starting a program and waiting for it to end.
#pragma once

#include "common/handle_win32.h"

#include <windows.h>

#include <string>

// Owns one handle of a started process. A copy owns a handle of its own to
// the same process (null when the duplication fails); each closes its own.
class Process {
public:
    Process() = default;
    Process(HANDLE handle, DWORD processId);  // takes over `handle`
    Process(const Process& other);
    Process& operator=(const Process& other);
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process() = default;

    bool IsValid() const { return static_cast<bool>(handle); }
    // True only when the process has ended within `milliseconds`; false at
    // once for an invalid process.
    bool Wait(DWORD milliseconds) const;

    // For the process cases, which check each copy's handle and process.
    HANDLE Handle() const { return handle.get(); }
    DWORD ProcessId() const { return processId; }

private:
    UniqueHandle handle;
    DWORD processId = 0;
};

// Starts `commandLine` as written; an empty `workingDirectory` lets the new
// process inherit ours. Invalid when the start failed.
Process StartCommandLine(const std::string& commandLine, const std::string& workingDirectory);

// Starting a program and waiting for it to end.
#pragma once

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
    ~Process();

    bool IsValid() const { return handle != nullptr; }
    // True only when the process has ended within `milliseconds`; false at
    // once for an invalid process.
    bool Wait(DWORD milliseconds) const;

    HANDLE Handle() const { return handle; }
    DWORD ProcessId() const { return processId; }

private:
    void Close();

    HANDLE handle = nullptr;
    DWORD processId = 0;
};

// Starts `commandLine` as written; an empty `workingDirectory` lets the new
// process inherit ours. Invalid when the start failed.
Process StartCommandLine(const std::string& commandLine, const std::string& workingDirectory);
// Starts `program` with `arguments`; an empty `workingDirectory` means the
// program's own directory.
Process StartProcess(const std::string& program, const std::string& arguments, const std::string& workingDirectory);
// Starts the reader on the document in our current directory and returns when
// the reader has ended, or at once when it could not be started.
void OpenWithReader(const std::string& strDocument, const std::string& strReader);

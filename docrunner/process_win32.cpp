#include "docrunner/process_win32.h"

#include <utility>
#include <vector>

// The size the 32-bit platform expects in `cb`.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "STARTUPINFOA layout");

namespace {

HANDLE DuplicateProcessHandle(HANDLE source)
{
    if (source == nullptr)
        return nullptr;
    HANDLE copy = nullptr;
    HANDLE self = GetCurrentProcess();
    if (!DuplicateHandle(self, source, self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

}  // namespace

Process::Process(HANDLE handle, DWORD processId) : handle(handle), processId(processId) {}

Process::Process(const Process& other) : handle(DuplicateProcessHandle(other.Handle())), processId(other.processId) {}

Process& Process::operator=(const Process& other)
{
    if (this != &other) {
        handle.reset(DuplicateProcessHandle(other.Handle()));
        processId = other.processId;
    }
    return *this;
}

Process::Process(Process&& other) noexcept
    : handle(std::move(other.handle)), processId(std::exchange(other.processId, 0))
{
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        handle = std::move(other.handle);
        processId = std::exchange(other.processId, 0);
    }
    return *this;
}

bool Process::Wait(DWORD milliseconds) const
{
    if (!IsValid())
        return false;
    return WaitForSingleObject(Handle(), milliseconds) == WAIT_OBJECT_0;
}

Process StartCommandLine(const std::string& commandLine, const std::string& workingDirectory)
{
    // CreateProcessA may write into the command line it is given.
    std::vector<char> buffer(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &started))
        return Process();
    const UniqueHandle thread(started.hThread);
    return Process(started.hProcess, started.dwProcessId);
}

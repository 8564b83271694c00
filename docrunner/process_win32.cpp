#include "docrunner/process_win32.h"

#include "docrunner/process_command.h"

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

Process::Process(const Process& other) : handle(DuplicateProcessHandle(other.handle)), processId(other.processId) {}

Process& Process::operator=(const Process& other)
{
    if (this != &other) {
        HANDLE copy = DuplicateProcessHandle(other.handle);
        Close();
        handle = copy;
        processId = other.processId;
    }
    return *this;
}

Process::Process(Process&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)), processId(std::exchange(other.processId, 0))
{
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Close();
        handle = std::exchange(other.handle, nullptr);
        processId = std::exchange(other.processId, 0);
    }
    return *this;
}

Process::~Process()
{
    Close();
}

void Process::Close()
{
    if (handle != nullptr)
        CloseHandle(handle);
    handle = nullptr;
}

bool Process::Wait(DWORD milliseconds) const
{
    if (handle == nullptr)
        return false;
    return WaitForSingleObject(handle, milliseconds) == WAIT_OBJECT_0;
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
    CloseHandle(started.hThread);
    return Process(started.hProcess, started.dwProcessId);
}

Process StartProcess(const std::string& program, const std::string& arguments, const std::string& workingDirectory)
{
    // With no program the command line would begin with the arguments, and
    // the platform would look for a program named after the first of them.
    if (program.empty())
        return Process();
    ProcessCommand command = BuildProcessCommand(program, arguments, workingDirectory);
    return StartCommandLine(command.commandLine, command.workingDirectory);
}

void OpenWithReader(const std::string& strDocument, const std::string& strReader)
{
    // An unreadable or over-long current directory is passed as empty, which
    // makes the reader start in its own folder.
    char buffer[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    std::string currentDirectory = (length > 0 && length < MAX_PATH) ? std::string(buffer, length) : std::string();

    Process reader = StartProcess(strReader, ReaderArguments(strDocument), currentDirectory);
    reader.Wait(INFINITE);
}

#include "tests/wine/support/test_support.h"

#include <cstdio>
#include <cstring>
#include <map>

// ---- Test cases -----------------------------------------------------------

namespace {

std::map<std::string, TestFunction>& Registry()
{
    static std::map<std::string, TestFunction> cases;
    return cases;
}

int failures = 0;

}  // namespace

TestRegistration::TestRegistration(const char* name, TestFunction function)
{
    Registry()[name] = function;
}

void ReportFailure(const char* file, int line, const std::string& what)
{
    ++failures;
    std::printf("%s:%d: FAILED: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        char buffer[8];
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int main(int argc, char** argv)
{
    const auto& cases = Registry();
    if (argc > 1) {
        auto found = cases.find(argv[1]);
        if (found == cases.end()) {
            std::printf("no test case named %s\n", argv[1]);
            return 1;
        }
        found->second();
    } else {
        for (const auto& entry : cases) {
            std::printf("[ %s ]\n", entry.first.c_str());
            std::fflush(stdout);
            entry.second();
        }
    }
    std::printf(failures == 0 ? "passed\n" : "%d check(s) failed\n", failures);
    return failures > 255 ? 255 : failures;
}

// ---- Waiting --------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        // Keep this thread's own windows (if any) responsive while polling.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(stepMs);
    }
}

// ---- Paths and files -------------------------------------------------------

std::string WindowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/') {
        return path;
    }
    std::string out = "Z:" + path;
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        }
    }
    return out;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string DriverDirectory()
{
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return DirectoryOf(buffer);
}

std::string AsWritten(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bytes.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool CopyFileTo(const std::string& from, const std::string& to)
{
    return CopyFileA(WindowsPath(from).c_str(), WindowsPath(to).c_str(), FALSE) != 0;
}

namespace {

void RemoveTree(const std::string& directory)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = directory + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

}  // namespace

std::string ScratchDirectory(const std::string& name)
{
    const std::string root = DriverDirectory() + "\\scratch";
    CreateDirectoryA(root.c_str(), nullptr);
    const std::string directory = root + "\\" + name;
    RemoveTree(directory);
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

// ---- Processes ------------------------------------------------------------

ChildProcess::~ChildProcess()
{
    if (Running()) {
        Kill();
    }
    if (reader_) {
        WaitForSingleObject(reader_.get(), 5000);
    }
    if (lockReady_) {
        DeleteCriticalSection(&lock_);
    }
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& workingDirectory)
{
    if (!lockReady_) {
        InitializeCriticalSection(&lock_);
        lockReady_ = true;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return false;
    }
    readEnd_.reset(readEnd);
    UniqueHandle writeOwner(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, directory, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    writeOwner.reset();  // the child holds the only write end now
    reader_.reset(CreateThread(nullptr, 0, ReadOutput, this, 0, nullptr));
    return true;
}

DWORD WINAPI ChildProcess::ReadOutput(void* self)
{
    auto* child = static_cast<ChildProcess*>(self);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(child->readEnd_.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        EnterCriticalSection(&child->lock_);
        child->output_.append(buffer, got);
        LeaveCriticalSection(&child->lock_);
    }
    return 0;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs)
{
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    // The pipe closes once every holder of its write end has gone; a program
    // the child started may still hold it, so the wait for the rest is bounded.
    if (reader_) {
        WaitForSingleObject(reader_.get(), 2000);
    }
    return true;
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_) {
        GetExitCodeProcess(process_.get(), &code);
    }
    return code;
}

std::string ChildProcess::Output()
{
    if (!lockReady_) {
        return std::string();
    }
    EnterCriticalSection(&lock_);
    std::string copy = output_;
    LeaveCriticalSection(&lock_);
    return copy;
}

void ChildProcess::Kill()
{
    if (process_) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

RunResult RunCaptured(const std::string& commandLine, const std::string& workingDirectory, DWORD timeoutMs)
{
    RunResult result;
    ChildProcess child;
    if (!child.Start(commandLine, workingDirectory)) {
        return result;
    }
    result.ended = child.WaitForExit(timeoutMs);
    result.exitCode = child.ExitCode();
    result.output = child.Output();
    return result;
}

// ---- Windows ----------------------------------------------------------------

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) {
        return TRUE;
    }
    if (search->className != nullptr && ClassNameOf(window) != search->className) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className)
{
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindProcessWindow(processId, className)) != nullptr; }, timeoutMs);
    return window;
}

namespace {

struct ProcessWindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ProcessWindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId)
{
    ProcessWindowSearch search{processId, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window)
{
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string ClassNameOf(HWND window)
{
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

// ---- Pixels -------------------------------------------------------------------

namespace {

// Copies `width` × `height` pixels at (x, y) of `source` into a top-down
// 32-bit picture.
Pixels CopyPixels(HDC source, int x, int y, int width, int height)
{
    Pixels pixels;
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject section(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc memory(CreateCompatibleDC(source));
    if (!section || !memory || bits == nullptr) {
        return pixels;
    }
    {
        ObjectSelection select(memory.get(), section.get());
        BitBlt(memory.get(), 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
    }
    pixels.width = width;
    pixels.height = height;
    const auto* first = static_cast<const std::uint32_t*>(bits);
    pixels.data.assign(first, first + static_cast<size_t>(width) * height);
    for (auto& value : pixels.data) {
        value &= 0x00FFFFFF;
    }
    return pixels;
}

}  // namespace

Pixels CaptureClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    Pixels pixels = CopyPixels(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return pixels;
}

Pixels LoadBitmapPixels(const std::string& path, const char* name)
{
    Pixels pixels;
    UniqueLibrary module(LoadLibraryExA(WindowsPath(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) {
        return pixels;
    }
    UniqueGdiObject bitmap(LoadImageA(module.get(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) {
        return pixels;
    }
    BITMAP description = {};
    GetObjectA(bitmap.get(), sizeof description, &description);
    HDC screen = GetDC(nullptr);
    UniqueMemoryDc memory(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    ObjectSelection select(memory.get(), bitmap.get());
    return CopyPixels(memory.get(), 0, 0, description.bmWidth, description.bmHeight);
}

std::vector<POINT> DifferingPoints(const Pixels& a, const Pixels& b)
{
    std::vector<POINT> points;
    if (a.width != b.width || a.height != b.height) {
        return points;
    }
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                points.push_back(POINT{x, y});
            }
        }
    }
    return points;
}

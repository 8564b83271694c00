#include "tests/wine/support/test_support.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>

// ---- Test cases -----------------------------------------------------------

namespace {

struct Case {
    TestFunction function;
    bool probe;
};

std::map<std::string, Case>& Registry()
{
    static std::map<std::string, Case> cases;
    return cases;
}

int failures = 0;

enum class Outcome { Passed, Failed, Skipped };

Outcome RunCase(const std::string& name, TestFunction function)
{
    const int before = failures;
    try {
        function();
    } catch (const CaseEnded&) {
        // Reported where it was thrown.
    } catch (const CaseSkipped& skipped) {
        if (failures == before) {
            std::printf("%s: SKIPPED: %s\n", name.c_str(), skipped.reason.c_str());
            std::fflush(stdout);
            return Outcome::Skipped;
        }
    } catch (const std::exception& error) {
        ReportFailure(name.c_str(), 0, std::string("exception: ") + error.what());
    }
    return failures == before ? Outcome::Passed : Outcome::Failed;
}

// `driver --registered NAME...`: CMake passes the cases it registered from
// the source; a case it missed would silently never run.
int CheckRegistered(int argc, char** argv)
{
    std::map<std::string, bool> registered;
    for (int i = 2; i < argc; ++i)
        registered[argv[i]] = true;
    int missing = 0;
    for (const auto& entry : Registry()) {
        if (!entry.second.probe && !registered.count(entry.first)) {
            std::printf("case %s is not registered with ctest\n", entry.first.c_str());
            ++missing;
        }
    }
    for (const auto& entry : registered) {
        const auto found = Registry().find(entry.first);
        if (found == Registry().end() || found->second.probe) {
            std::printf("ctest runs %s, which this driver does not have\n", entry.first.c_str());
            ++missing;
        }
    }
    if (missing != 0)
        return 1;
    std::printf("every case is registered\n");
    return 0;
}

}  // namespace

TestRegistration::TestRegistration(const char* name, TestFunction function, bool probe)
{
    Registry()[name] = Case{function, probe};
}

void ReportFailure(const char* file, int line, const std::string& what)
{
    ++failures;
    std::printf("%s:%d: FAILED: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

void EndCase(const char* file, int line, const std::string& what)
{
    ReportFailure(file, line, what);
    throw CaseEnded();
}

void SkipCase(const std::string& reason)
{
    throw CaseSkipped{reason};
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
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--list") {
        for (const auto& entry : cases) {
            if (!entry.second.probe)
                std::printf("%s\n", entry.first.c_str());
        }
        return 0;
    }
    if (first == "--registered")
        return CheckRegistered(argc, argv);
    int run = 0;
    int skipped = 0;
    if (!first.empty()) {
        auto found = cases.find(first);
        if (found == cases.end()) {
            std::printf("no test case named %s\n", first.c_str());
            return 1;
        }
        ++run;
        skipped += RunCase(found->first, found->second.function) == Outcome::Skipped;
    } else {
        for (const auto& entry : cases) {
            if (entry.second.probe)
                continue;
            std::printf("[ %s ]\n", entry.first.c_str());
            std::fflush(stdout);
            ++run;
            skipped += RunCase(entry.first, entry.second.function) == Outcome::Skipped;
        }
    }
    if (failures != 0) {
        std::printf("%d check(s) failed\n", failures);
        return 1;
    }
    std::printf(skipped == run ? "skipped\n" : "passed\n");
    return skipped == run ? 77 : 0;
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
    UniqueHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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

// What the reader thread fills. The thread holds a share of it until the pipe
// breaks, which a program the child started can put off beyond the child's
// end and beyond this ChildProcess's life.
struct ChildProcess::OutputBuffer {
    OutputBuffer() { InitializeCriticalSection(&lock); }
    ~OutputBuffer() { DeleteCriticalSection(&lock); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    CRITICAL_SECTION lock;
    std::string text;
    UniqueHandle readEnd;
};

namespace {

struct ReaderShare {
    std::shared_ptr<void> keep;
    HANDLE readEnd;
    CRITICAL_SECTION* lock;
    std::string* text;
};

DWORD WINAPI ReadOutput(void* parameter)
{
    const std::unique_ptr<ReaderShare> share(static_cast<ReaderShare*>(parameter));
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(share->readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        EnterCriticalSection(share->lock);
        share->text->append(buffer, got);
        LeaveCriticalSection(share->lock);
    }
    return 0;
}

}  // namespace

ChildProcess::~ChildProcess()
{
    if (Running()) {
        Kill();
    }
    // The reader is not waited for: it owns its share of the buffer.
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& workingDirectory)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return false;
    }
    auto output = std::make_shared<OutputBuffer>();
    output->readEnd.reset(readEnd);
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
    output_ = output;
    auto* share = new ReaderShare{output, output->readEnd.get(), &output->lock, &output->text};
    reader_.reset(CreateThread(nullptr, 0, ReadOutput, share, 0, nullptr));
    if (!reader_)
        delete share;
    return true;
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
    if (!output_) {
        return std::string();
    }
    EnterCriticalSection(&output_->lock);
    std::string copy = output_->text;
    LeaveCriticalSection(&output_->lock);
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
    if (a.Empty() || b.Empty() || a.width != b.width || a.height != b.height) {
        const int width = a.width > b.width ? a.width : b.width;
        const int height = a.height > b.height ? a.height : b.height;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                points.push_back(POINT{x, y});
            }
        }
        if (points.empty()) {
            points.push_back(POINT{0, 0});
        }
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

static bool OnEdge(const RECT& rect, const POINT& point)
{
    const bool inside = point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
    return inside &&
           (point.x == rect.left || point.x == rect.right - 1 || point.y == rect.top || point.y == rect.bottom - 1);
}

// True when `shown` is `bitmap` with exactly a dotted focus frame on `rect`:
// every changed pixel lies on the frame's edge, and each of the four edges
// has its share of changed pixels (every other one, give or take the corners).
bool ShowsFocusFrame(const Pixels& shown, const Pixels& bitmap, const RECT& rect)
{
    if (shown.width != bitmap.width || shown.height != bitmap.height)
        return false;
    const std::vector<POINT> changed = DifferingPoints(shown, bitmap);
    int top = 0, bottom = 0, left = 0, right = 0;
    for (const POINT& point : changed) {
        if (!OnEdge(rect, point))
            return false;
        top += point.y == rect.top;
        bottom += point.y == rect.bottom - 1;
        left += point.x == rect.left;
        right += point.x == rect.right - 1;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    return top >= width / 2 - 1 && bottom >= width / 2 - 1 && left >= height / 2 - 1 && right >= height / 2 - 1;
}

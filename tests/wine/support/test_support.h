// Shared by the Wine test drivers: a small test-case runner, programs started
// with their standard output captured, bounded waits, the windows of a
// process and pixels of the screen.
#pragma once

#include "common/handle_win32.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// ---- Test cases -----------------------------------------------------------
// A driver defines cases with WINE_TEST(name) { ... } and gets its main() from
// the support library: `driver NAME` runs one case, `driver` runs them all,
// `driver --list` names them. CMake registers each case from the WINE_TEST
// line of the driver's source (wine_tests.cmake): locales after the name run
// the case under those user languages instead of en_US, one ctest each.
// A case fails with any failed check (exit 1) and is skipped by SKIP (77).

using TestFunction = void (*)();
struct TestRegistration {
    TestRegistration(const char* name, TestFunction function, bool probe = false);
};

#define WINE_TEST(name, ...)                                        \
    static void name();                                             \
    static const TestRegistration name##_registration(#name, name); \
    static void name()

// A case that only another case runs, in a child driver, to see how the
// runner ends it; never run by ctest or by a run of every case.
#define WINE_PROBE(name)                                                  \
    static void name();                                                   \
    static const TestRegistration name##_registration(#name, name, true); \
    static void name()

void ReportFailure(const char* file, int line, const std::string& what);
std::string Quoted(const std::string& text);  // escapes control bytes

// Thrown by REQUIRE and SKIP, caught by the runner only: a helper at any
// depth ends its case, and the case's objects are cleaned up on the way.
struct CaseEnded {};
struct CaseSkipped {
    std::string reason;
};
[[noreturn]] void EndCase(const char* file, int line, const std::string& what);
[[noreturn]] void SkipCase(const std::string& reason);

template <typename T>
std::string Describe(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
inline std::string Describe(const std::string& value)
{
    return Quoted(value);
}
inline std::string Describe(const char* value)
{
    return Quoted(value ? value : "(null)");
}

#define CHECK(condition)                                   \
    do {                                                   \
        if (!(condition))                                  \
            ReportFailure(__FILE__, __LINE__, #condition); \
    } while (0)

#define CHECK_EQ(actual, expected)                                                                             \
    do {                                                                                                       \
        const auto& check_actual_ = (actual);                                                                  \
        const auto& check_expected_ = (expected);                                                              \
        if (!(check_actual_ == check_expected_))                                                               \
            ReportFailure(__FILE__, __LINE__,                                                                  \
                          std::string(#actual " == " #expected "\n    actual:   ") + Describe(check_actual_) + \
                              "\n    expected: " + Describe(check_expected_));                                 \
    } while (0)

// Ends the current case at once when a precondition fails, from the case
// itself or from any helper it called.
#define REQUIRE(condition)                                        \
    do {                                                          \
        if (!(condition))                                         \
            EndCase(__FILE__, __LINE__, "required: " #condition); \
    } while (0)

// Ends the current case as skipped: what it would test cannot happen here.
#define SKIP(reason) SkipCase(reason)

// ---- Waiting --------------------------------------------------------------

// Polls `condition` every `stepMs` until it holds or `timeoutMs` have passed;
// returns whether it held. The only way these tests wait for each other.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000, DWORD stepMs = 20);

// ---- Paths and files -------------------------------------------------------

// A path as CMake gives it (/work/build/...) in the form Windows programs
// take (Z:\work\build\...); Windows paths pass unchanged.
std::string WindowsPath(const std::string& path);
std::string DirectoryOf(const std::string& path);  // without the last backslash
std::string DriverDirectory();                     // where the running driver lies
// What a program's printf of `text` puts on a pipe: its standard output is in
// text mode, so each line feed arrives as CR LF.
std::string AsWritten(const std::string& text);
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool CopyFileTo(const std::string& from, const std::string& to);
// A fresh empty directory below the driver's directory, named after `name`.
std::string ScratchDirectory(const std::string& name);

// ---- Processes ------------------------------------------------------------

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();  // ends a process that still runs

    // Starts `commandLine` byte for byte (CreateProcessA), its standard
    // output (and error) on a pipe read by a thread of its own.
    bool Start(const std::string& commandLine, const std::string& workingDirectory = "");
    bool WaitForExit(DWORD timeoutMs = 10000);
    bool Running() const;
    DWORD ExitCode() const;
    // Everything written so far; after WaitForExit, everything.
    std::string Output();
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    void Kill();

private:
    struct OutputBuffer;  // shared with the reader thread, which may outlive this

    UniqueHandle process_;
    std::shared_ptr<OutputBuffer> output_;
    UniqueHandle reader_;
    DWORD id_ = 0;
};

// Runs a program to its end; false when it did not end within the time.
struct RunResult {
    bool ended = false;
    DWORD exitCode = 0;
    std::string output;
};
RunResult RunCaptured(const std::string& commandLine, const std::string& workingDirectory = "",
                      DWORD timeoutMs = 15000);

// ---- Windows ----------------------------------------------------------------

// The first top-level window of process `processId` with that class (any
// class when null), visible or not; null when there is none.
HWND FindProcessWindow(DWORD processId, const char* className);
HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs = 10000);
// Every top-level window of process `processId`, visible or not.
std::vector<HWND> ProcessWindows(DWORD processId);
std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);

// How a failed check shows a rectangle, and when two are the same.
inline std::ostream& operator<<(std::ostream& out, const RECT& rect)
{
    return out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// ---- Pixels -------------------------------------------------------------------

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;  // top-down rows, 0x00RRGGBB

    bool Empty() const { return width <= 0 || height <= 0; }
    std::uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    // An empty picture (one that could not be read) equals none, not even
    // another empty one.
    bool operator==(const Pixels& other) const
    {
        return !Empty() && width == other.width && height == other.height && data == other.data;
    }
    bool operator!=(const Pixels& other) const { return !(*this == other); }
};
// The client area of a window as it is on the screen.
Pixels CaptureClient(HWND window);
// The bitmap resource `name` of the program file at `path`.
Pixels LoadBitmapPixels(const std::string& path, const char* name);
// The points where two pictures differ. Pictures that are empty or of other
// sizes differ everywhere: every point of the larger one, (0, 0) at least.
std::vector<POINT> DifferingPoints(const Pixels& a, const Pixels& b);
// True when `shown` is `bitmap` with exactly a dotted focus frame on `rect`:
// every changed pixel lies on the frame's edge, and each of the four edges
// has its share of changed pixels.
bool ShowsFocusFrame(const Pixels& shown, const Pixels& bitmap, const RECT& rect);

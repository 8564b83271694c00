// Shared by the Wine test drivers: a small test-case runner, programs started
// with their standard output captured, bounded waits, the windows of a
// process and pixels of the screen.
#pragma once

#include "common/handle_win32.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

// ---- Test cases -----------------------------------------------------------
// A driver defines cases with WINE_TEST(name) { ... } and gets its main() from
// the support library: `driver NAME` runs one case, `driver` runs them all.
// The exit code is the number of failed checks, so ctest names the failure.

using TestFunction = void (*)();
struct TestRegistration {
    TestRegistration(const char* name, TestFunction function);
};

#define WINE_TEST(name)                                                   \
    static void name();                                                   \
    static const TestRegistration name##_registration(#name, name);       \
    static void name()

void ReportFailure(const char* file, int line, const std::string& what);
std::string Quoted(const std::string& text);  // escapes control bytes

template <typename T>
std::string Describe(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
inline std::string Describe(const std::string& value) { return Quoted(value); }
inline std::string Describe(const char* value) { return Quoted(value ? value : "(null)"); }

#define CHECK(condition)                                                  \
    do {                                                                  \
        if (!(condition)) ReportFailure(__FILE__, __LINE__, #condition);  \
    } while (0)

#define CHECK_EQ(actual, expected)                                                       \
    do {                                                                                 \
        const auto& check_actual_ = (actual);                                            \
        const auto& check_expected_ = (expected);                                        \
        if (!(check_actual_ == check_expected_))                                         \
            ReportFailure(__FILE__, __LINE__,                                            \
                          std::string(#actual " == " #expected "\n    actual:   ") +    \
                              Describe(check_actual_) + "\n    expected: " +            \
                              Describe(check_expected_));                                \
    } while (0)

// Ends the current case at once when a precondition fails.
#define REQUIRE(condition)                                                \
    do {                                                                  \
        if (!(condition)) {                                               \
            ReportFailure(__FILE__, __LINE__, "required: " #condition);   \
            return;                                                       \
        }                                                                 \
    } while (0)

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
    static DWORD WINAPI ReadOutput(void* self);

    UniqueHandle process_;
    UniqueHandle readEnd_;
    UniqueHandle reader_;
    DWORD id_ = 0;
    CRITICAL_SECTION lock_{};
    bool lockReady_ = false;
    std::string output_;
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

// ---- Pixels -------------------------------------------------------------------

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;  // top-down rows, 0x00RRGGBB

    std::uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Pixels& other) const
    {
        return width == other.width && height == other.height && data == other.data;
    }
};
// The client area of a window as it is on the screen.
Pixels CaptureClient(HWND window);
// The bitmap resource `name` of the program file at `path`.
Pixels LoadBitmapPixels(const std::string& path, const char* name);
// The points where two pictures of the same size differ.
std::vector<POINT> DifferingPoints(const Pixels& a, const Pixels& b);

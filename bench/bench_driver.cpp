// The measurements that need the real programs under Wine. Each case prints
// its figures as "RESULT <key> <value>" lines for bench/run-bench; a failed
// CHECK means the measurement itself could not be made.
#include "bench/bench_counters.h"
#include "bench/repaint_script.h"
#include "tests/wine/support/test_support.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int StartupRuns = 40;
constexpr const char* MenuClass = "VelmoraAutorunClass";
constexpr const char* BaselineClass = "VelmoraBaselineClass";
constexpr UINT PauseMessage = WM_APP + 1;

void Result(const std::string& key, double value)
{
    std::printf("RESULT %s %.6f\n", key.c_str(), value);
    std::fflush(stdout);
}

double Seconds(LONGLONG from, LONGLONG to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to - from) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::string Quote(const std::string& path)
{
    return "\"" + WindowsPath(path) + "\"";
}

// The bitmap the English root menu shows, as the program file holds it.
const Pixels& MenuPicture()
{
    static const Pixels picture = LoadBitmapPixels(BENCH_AUTORUN, "MENU-EN");
    return picture;
}

// The visible window of the class whose client area shows the whole picture.
bool ShowsPicture(DWORD processId, const char* className, HWND* found = nullptr)
{
    HWND window = FindProcessWindow(processId, className);
    if (!window || !IsWindowVisible(window))
        return false;
    if (!(CaptureClient(window) == MenuPicture()))
        return false;
    if (found)
        *found = window;
    return true;
}

// Seconds from just before CreateProcess to the first poll that sees the
// finished picture on the screen; negative when it never came.
double TimeToFirstPaint(const std::string& program, const char* className)
{
    ChildProcess child;
    const LONGLONG start = Now();
    if (!child.Start(Quote(program), WindowsPath(DirectoryOf(program))))
        return -1;
    const DWORD id = child.Id();
    LONGLONG shown = 0;
    // A 2 ms poll step: short against a start-up of about 100 ms, long enough
    // that the poll does not take the machine's time from the program it
    // waits for. The same for both programs.
    if (WaitUntil([&] {
            if (!ShowsPicture(id, className))
                return false;
            shown = Now();
            return true;
        }, 15000, 2))
        return Seconds(start, shown);
    return -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A zeroed counter block that the counting program finds by name.
class CounterMapping {
public:
    CounterMapping()
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(BenchCounters),
                                      BenchCountersName))
    {
        if (mapping_)
            view_ = static_cast<BenchCounters*>(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~CounterMapping()
    {
        if (view_)
            UnmapViewOfFile(view_);
    }
    BenchCounters* operator->() const { return view_; }
    BenchCounters* get() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }

private:
    UniqueHandle mapping_;
    BenchCounters* view_ = nullptr;
};

// Timer messages between two counts, with the spacing of their ticks.
void ReportTimerTicks(const std::string& key, const BenchCounters* counters, LONG from, LONG to, double seconds)
{
    Result(key + "_messages", to - from);
    Result(key + "_seconds", seconds);
    Result(key + "_per_second", seconds > 0 ? (to - from) / seconds : 0);
    LONG otherIds = 0;
    std::vector<double> gaps;
    for (LONG i = from; i < to && i < BenchTimerSlots; ++i) {
        if (counters->timerIds[i] != 1)
            ++otherIds;
        if (i > from)
            gaps.push_back(Seconds(counters->timerTicks[i - 1], counters->timerTicks[i]) * 1000);
    }
    Result(key + "_other_timer_ids", otherIds);
    if (!gaps.empty()) {
        Result(key + "_gap_ms_min", *std::min_element(gaps.begin(), gaps.end()));
        Result(key + "_gap_ms_median", Median(gaps));
        Result(key + "_gap_ms_max", *std::max_element(gaps.begin(), gaps.end()));
    }
}

}  // namespace

// Interleaved: menu, baseline, baseline, menu, ... so neither always runs
// second. One untimed start of each first warms the wineserver and caches.
WINE_TEST(startup)
{
    REQUIRE(MenuPicture().width > 0);
    REQUIRE(TimeToFirstPaint(BENCH_AUTORUN, MenuClass) > 0);
    REQUIRE(TimeToFirstPaint(BENCH_BASELINE, BaselineClass) > 0);
    std::vector<double> menu;
    std::vector<double> baseline;
    for (int i = 0; i < 2 * StartupRuns; ++i) {
        const bool menuFirst = (i / 2) % 2 == 0;
        const bool runMenu = (i % 2 == 0) == menuFirst;
        const double seconds = runMenu ? TimeToFirstPaint(BENCH_AUTORUN, MenuClass)
                                       : TimeToFirstPaint(BENCH_BASELINE, BaselineClass);
        CHECK(seconds > 0);
        (runMenu ? menu : baseline).push_back(seconds * 1000);
        std::printf("run %d %s %.3f ms\n", i, runMenu ? "autorun" : "baseline", seconds * 1000);
    }
    Result("startup_runs_each", StartupRuns);
    Result("startup_autorun_median_ms", Median(menu));
    Result("startup_baseline_median_ms", Median(baseline));
    Result("startup_autorun_min_ms", *std::min_element(menu.begin(), menu.end()));
    Result("startup_baseline_min_ms", *std::min_element(baseline.begin(), baseline.end()));
    Result("startup_ratio", Median(menu) / Median(baseline));
    Result("startup_fastest_ratio", *std::min_element(menu.begin(), menu.end()) /
                                        *std::min_element(baseline.begin(), baseline.end()));
}

// Shown and untouched: no timer messages at all, from start to the end of
// the observation.
WINE_TEST(idle_shown)
{
    CounterMapping counters;
    REQUIRE(counters);
    ChildProcess child;
    REQUIRE(child.Start(Quote(BENCH_COUNTING_AUTORUN), WindowsPath(DirectoryOf(BENCH_COUNTING_AUTORUN))));
    REQUIRE(WaitUntil([&] { return ShowsPicture(child.Id(), MenuClass); }));
    const LONG before = counters->timerMessages;
    const LONGLONG start = Now();
    Sleep(3000);  // the observation window, not a synchronisation
    const LONG after = counters->timerMessages;
    ReportTimerTicks("idle_shown_timer", counters.get(), before, after, Seconds(start, Now()));
    Result("idle_shown_timer_messages_since_start", after);
}

// Paused by a held pause mutex: hidden, the poll ticks four times a second;
// once the mutex is gone the window shows and the ticks stop.
WINE_TEST(idle_paused)
{
    CounterMapping counters;
    REQUIRE(counters);
    UniqueHandle pause(CreateMutexA(nullptr, TRUE, "VelmoraAutorunPauseMutex"));
    REQUIRE(pause);
    ChildProcess child;
    REQUIRE(child.Start(Quote(BENCH_COUNTING_AUTORUN), WindowsPath(DirectoryOf(BENCH_COUNTING_AUTORUN))));
    HWND window = WaitForProcessWindow(child.Id(), MenuClass);
    REQUIRE(window);
    // The first tick says the poll runs; the observation starts there.
    REQUIRE(WaitUntil([&] { return counters->timerMessages > 0; }, 5000));
    const LONG before = counters->timerMessages;
    const LONGLONG start = Now();
    Sleep(4000);  // the observation window, not a synchronisation
    const LONG after = counters->timerMessages;
    const LONGLONG end = Now();
    CHECK(!IsWindowVisible(window));
    ReportTimerTicks("idle_paused_timer", counters.get(), before, after, Seconds(start, end));

    pause.reset();
    const LONGLONG released = Now();
    REQUIRE(WaitUntil([&] { return ShowsPicture(child.Id(), MenuClass); }, 5000));
    Result("idle_paused_shown_after_release_ms", Seconds(released, Now()) * 1000);
    const LONG shown = counters->timerMessages;
    const LONGLONG shownAt = Now();
    Sleep(2000);  // the observation window, not a synchronisation
    ReportTimerTicks("idle_resumed_timer", counters.get(), shown, counters->timerMessages, Seconds(shownAt, Now()));

    // A pause message while shown: hidden again and ticking, at the same rate.
    DWORD_PTR answer = 0;
    UniqueHandle again(CreateMutexA(nullptr, TRUE, "VelmoraAutorunPauseMutex"));
    REQUIRE(SendMessageTimeoutA(window, PauseMessage, 0, 0, SMTO_NORMAL, 5000, &answer));
    CHECK(!IsWindowVisible(window));
    REQUIRE(WaitUntil([&] { return counters->timerMessages > shown; }, 5000));
    const LONG pausedAgain = counters->timerMessages;
    const LONGLONG pausedAt = Now();
    Sleep(2000);  // the observation window, not a synchronisation
    ReportTimerTicks("idle_repaused_timer", counters.get(), pausedAgain, counters->timerMessages,
                     Seconds(pausedAt, Now()));
}

// The scripted moves and keys sent to the real window; every InvalidateRect
// the program makes is counted.
WINE_TEST(repaint_window)
{
    CounterMapping counters;
    REQUIRE(counters);
    SetCursorPos(0, 0);  // keep the real pointer off the window
    ChildProcess child;
    REQUIRE(child.Start(Quote(BENCH_COUNTING_AUTORUN), WindowsPath(DirectoryOf(BENCH_COUNTING_AUTORUN))));
    HWND window = nullptr;
    REQUIRE(WaitUntil([&] { return ShowsPicture(child.Id(), MenuClass, &window); }));
    if (GetForegroundWindow() != window)
        SetForegroundWindow(window);
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == window; }, 5000));

    const LONG calls = counters->invalidateCalls;
    const LONG whole = counters->invalidateWhole;
    const LONG erase = counters->invalidateErase;
    const LONGLONG area = counters->invalidateArea;
    for (const ScriptEvent& event : RepaintScript) {
        UINT message = WM_MOUSEMOVE;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        switch (event.step) {
        case ScriptStep::Move:
            lParam = MAKELPARAM(event.x, event.y);
            break;
        case ScriptStep::Key:
            message = WM_KEYDOWN;
            wParam = static_cast<WPARAM>(event.x);
            lParam = 1;
            break;
        case ScriptStep::Char:
            message = WM_CHAR;
            wParam = static_cast<WPARAM>(event.x);
            lParam = 1;
            break;
        }
        DWORD_PTR answer = 0;
        CHECK(SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &answer));
    }
    CHECK(GetForegroundWindow() == window);
    Result("repaint_window_events", static_cast<double>(RepaintScriptLength));
    Result("repaint_window_calls", counters->invalidateCalls - calls);
    Result("repaint_window_whole_client", counters->invalidateWhole - whole);
    Result("repaint_window_erase", counters->invalidateErase - erase);
    Result("repaint_window_area", static_cast<double>(counters->invalidateArea - area));
}

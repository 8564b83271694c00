// The measurements that need the real programs under Wine. Each case prints
// its figures as "RESULT <key> <value>" lines for bench/run-bench; a failed
// CHECK means the measurement itself could not be made.
#include "bench/bench_counters.h"
#include "bench/bench_steps.h"
#include "bench/repaint_script.h"
#include "tests/wine/support/test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

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
double TimeToFirstPaint(const std::string& program, const char* className, LONGLONG& start)
{
    ChildProcess child;
    start = Now();
    if (!child.Start(Quote(program), WindowsPath(DirectoryOf(program))))
        return -1;
    const DWORD id = child.Id();
    LONGLONG shown = 0;
    // A 2 ms poll step: short against a start-up of about 100 ms, long enough
    // that the poll does not take the machine's time from the program it
    // waits for. The same for every program.
    if (WaitUntil(
            [&] {
                if (!ShowsPicture(id, className))
                    return false;
                shown = Now();
                return true;
            },
            15000, 2))
        return Seconds(start, shown);
    return -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A zeroed block shared by name with the program the driver starts: the
// counting build's counters, the timed build's marks.
template <typename Block>
class SharedBlock {
public:
    explicit SharedBlock(const char* name)
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Block), name))
    {
        if (mapping_)
            view_ = static_cast<Block*>(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~SharedBlock()
    {
        if (view_)
            UnmapViewOfFile(view_);
    }
    Block* operator->() const { return view_; }
    Block* get() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }

private:
    UniqueHandle mapping_;
    Block* view_ = nullptr;
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

// ---- Start-up ------------------------------------------------------------

// Each start waits this long after the previous process ended, so that no
// start overlaps the teardown of the one before it. A method, not a wait for
// a condition.
constexpr DWORD PauseBetweenStartsMs = 500;
// Then, before the start, the machine must have been quiet over one sample
// window: at most this share of all cores busy (other builds share them). The
// wait is bounded; a start that did not get a quiet machine is counted.
constexpr double QuietBusyShare = 0.15;
constexpr DWORD QuietSampleMs = 200;
constexpr DWORD QuietWaitLimitMs = 3000;
constexpr int DefaultStartupRounds = 60;

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The busy share of all cores over `ms` milliseconds (kernel time includes
// the idle time, as Windows reports it); 1 when the times cannot be read.
double BusyShare(DWORD ms)
{
    FILETIME idle[2], kernel[2], user[2];
    if (!GetSystemTimes(&idle[0], &kernel[0], &user[0]))
        return 1;
    Sleep(ms);  // the sample window
    if (!GetSystemTimes(&idle[1], &kernel[1], &user[1]))
        return 1;
    const double total = static_cast<double>(Ticks(kernel[1]) - Ticks(kernel[0]) + Ticks(user[1]) - Ticks(user[0]));
    const double idleTime = static_cast<double>(Ticks(idle[1]) - Ticks(idle[0]));
    return total > 0 ? 1 - idleTime / total : 1;
}

// Polls the busy share until one sample window is quiet, within the limit.
// Returns the last share measured; `quiet` tells whether it was low enough.
double WaitForQuietMachine(bool& quiet)
{
    const ULONGLONG deadline = GetTickCount64() + QuietWaitLimitMs;
    double share = 1;
    do {
        share = BusyShare(QuietSampleMs);
        quiet = share <= QuietBusyShare;
    } while (!quiet && GetTickCount64() < deadline);
    return share;
}

struct StartedProgram {
    const char* name;
    std::string path;
    const char* className;
    bool timed;
};

int StartupRounds()
{
    char text[32] = {};
    const DWORD length = GetEnvironmentVariableA("BENCH_ROUNDS", text, sizeof text);
    const int rounds = length > 0 && length < sizeof text ? std::atoi(text) : 0;
    return rounds > 0 ? rounds : DefaultStartupRounds;
}

}  // namespace

// Rounds of one start of each program, in an order shuffled per round (fixed
// seed, so a run can be repeated): the shipped autorun, the plain baseline,
// its identical copy as the noise control, the contract baseline, and the
// timed build of autorun, whose marks give the cost of each step, and the
// pair with the DPI-aware manifest (autorun and the contract baseline). One
// untimed start of each first warms the wineserver and the file cache.
// Every start is printed; bench/run-bench makes the figures.
WINE_TEST(startup)
{
    REQUIRE(MenuPicture().width > 0);
    std::string baselineBytes;
    std::string controlBytes;
    REQUIRE(ReadWholeFile(BENCH_BASELINE, baselineBytes));
    REQUIRE(ReadWholeFile(BENCH_CONTROL, controlBytes));
    REQUIRE(baselineBytes == controlBytes);
    SharedBlock<BenchSteps> steps(BenchStepsName);
    REQUIRE(steps);

    const std::vector<StartedProgram> programs = {
        {"autorun", BENCH_AUTORUN, MenuClass, false},
        {"baseline", BENCH_BASELINE, BaselineClass, false},
        {"control", BENCH_CONTROL, BaselineClass, false},
        {"contract", BENCH_CONTRACT, BaselineClass, false},
        {"timed", BENCH_TIMED_AUTORUN, MenuClass, true},
        {"dpi", BENCH_DPI_AUTORUN, MenuClass, false},
        {"contractdpi", BENCH_DPI_CONTRACT, BaselineClass, false},
    };
    for (const StartedProgram& program : programs) {
        LONGLONG started = 0;
        REQUIRE(TimeToFirstPaint(program.path, program.className, started) > 0);
    }

    const int rounds = StartupRounds();
    constexpr unsigned Seed = 20261208;
    std::mt19937 random(Seed);
    std::printf("ROUNDS %d seed %u pause %lu ms quiet at most %.2f busy over %lu ms, waited at most %lu ms\n", rounds,
                Seed, PauseBetweenStartsMs, QuietBusyShare, QuietSampleMs, QuietWaitLimitMs);
    std::vector<size_t> order(programs.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        for (size_t which : order) {
            const StartedProgram& program = programs[which];
            Sleep(PauseBetweenStartsMs);  // the method: no overlap with the last teardown
            bool quiet = false;
            const double busy = WaitForQuietMachine(quiet);
            if (program.timed)
                steps->count = 0;
            LONGLONG started = 0;
            const double seconds = TimeToFirstPaint(program.path, program.className, started);
            CHECK(seconds > 0);
            std::printf("START %d %s %.3f %.3f %d\n", round, program.name, seconds * 1000, busy, quiet ? 1 : 0);
            if (program.timed && seconds > 0) {
                const LONG written = steps->count;
                const LONG count = std::min(written, BenchStepSlots);
                for (LONG i = 0; i < count; ++i) {
                    const BenchMark& mark = steps->marks[i];
                    if (mark.call > 0 && mark.call < BenchCallCount)
                        std::printf("MARK %d %s %s %.3f\n", round, BenchCallNames[mark.call],
                                    mark.leave ? "leave" : "enter", Seconds(started, mark.at) * 1000);
                }
            }
            std::fflush(stdout);
        }
    }
}

// Shown and untouched: no timer messages at all, from start to the end of
// the observation.
WINE_TEST(idle_shown)
{
    SharedBlock<BenchCounters> counters(BenchCountersName);
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
    SharedBlock<BenchCounters> counters(BenchCountersName);
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
    SharedBlock<BenchCounters> counters(BenchCountersName);
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

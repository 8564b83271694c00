// Linked only into the counting build of autorun (bench/): the linker sends
// the program's imported DispatchMessageA and InvalidateRect through these
// counters (--wrap on their import pointers) and on to the real functions.
// Nothing in the program changes; without the driver's mapping nothing is
// counted.
#include "bench/bench_counters.h"
#include "bench/import_wrap.h"

namespace {

BenchCounters* Counters()
{
    static BenchCounters* counters = [] {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, BenchCountersName);
        if (!mapping)
            return static_cast<BenchCounters*>(nullptr);
        // Both stay open for the whole run: the driver reads while we count.
        return static_cast<BenchCounters*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(BenchCounters)));
    }();
    return counters;
}

using DispatchFunction = LRESULT(WINAPI*)(const MSG*);
using InvalidateFunction = BOOL(WINAPI*)(HWND, const RECT*, BOOL);

LRESULT WINAPI CountingDispatchMessageA(const MSG* message);
BOOL WINAPI CountingInvalidateRect(HWND window, const RECT* rect, BOOL erase);

}  // namespace

BENCH_WRAP_IMPORT(DispatchFunction, DispatchMessageA, 4, RealDispatchMessageA, CountingDispatchMessageA);
BENCH_WRAP_IMPORT(InvalidateFunction, InvalidateRect, 12, RealInvalidateRect, CountingInvalidateRect);

namespace {

LRESULT WINAPI CountingDispatchMessageA(const MSG* message)
{
    BenchCounters* counters = Counters();
    if (counters && message && message->message == WM_TIMER) {
        const LONG slot = InterlockedIncrement(&counters->timerMessages) - 1;
        if (slot < BenchTimerSlots) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            counters->timerTicks[slot] = now.QuadPart;
            counters->timerIds[slot] = message->wParam;
        }
    }
    return RealDispatchMessageA(message);
}

BOOL WINAPI CountingInvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    BenchCounters* counters = Counters();
    if (counters) {
        RECT client = {};
        GetClientRect(window, &client);
        if (rect)
            InterlockedExchangeAdd64(&counters->invalidateArea,
                                     static_cast<LONGLONG>(rect->right - rect->left) * (rect->bottom - rect->top));
        if (!rect ||
            (rect->left <= 0 && rect->top <= 0 && rect->right >= client.right && rect->bottom >= client.bottom))
            InterlockedIncrement(&counters->invalidateWhole);
        if (erase)
            InterlockedIncrement(&counters->invalidateErase);
        InterlockedIncrement(&counters->invalidateCalls);
    }
    return RealInvalidateRect(window, rect, erase);
}

}  // namespace

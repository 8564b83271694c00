// Counters that the counting build of autorun keeps in a named shared
// mapping, for the idle and repaint measurements: the driver creates the
// mapping before it starts the program and reads it while the program runs.
#pragma once

#include <windows.h>

constexpr const char* BenchCountersName = "VelmoraBenchCounters";
constexpr LONG BenchTimerSlots = 4096;

struct BenchCounters {
    volatile LONG timerMessages;           // WM_TIMER messages dispatched
    volatile LONG invalidateCalls;         // InvalidateRect calls
    volatile LONG invalidateWhole;         // ... of them for the whole client area
    volatile LONG invalidateErase;         // ... of them asking for an erase
    volatile LONGLONG invalidateArea;      // summed area of the given rectangles
    LONGLONG timerTicks[BenchTimerSlots];  // QueryPerformanceCounter at each WM_TIMER
    UINT_PTR timerIds[BenchTimerSlots];    // and its timer id
};

// Time stamps that the timed build of autorun (bench/timing_seam_win32.cpp)
// takes at the start-up calls it makes, in a named shared mapping that the
// driver creates, zeroes and reads (bench_driver.cpp, case `startup`). The
// marks stop after the first paint: that is all a start-up costs.
#pragma once

#include <windows.h>

constexpr const char* BenchStepsName = "VelmoraBenchSteps";
constexpr LONG BenchStepSlots = 512;

// What was called. Both icon calls (LoadIconA and LoadImageA for an icon)
// count as the class icon; LoadImageA for a bitmap is a menu picture.
enum BenchCall : LONG {
    CallWinMain = 1,  // the program's entry; its leave mark is the seam ready
    CallInitCommonControls,
    CallCreateMutex,
    CallFindResource,
    CallLoadString,
    CallLoadBitmap,
    CallLoadIcon,
    CallRegisterClass,
    CallCreateWindow,
    CallSetWindowPos,
    CallShowWindow,
    CallBeginPaint,
    CallEndPaint,
    BenchCallCount
};

// Printed by the driver, read by bench/run-bench.
constexpr const char* BenchCallNames[BenchCallCount] = {
    "",         "WinMain",          "InitCommonControls", "CreateMutexA", "FindResourceA", "LoadStringA", "LoadBitmap",
    "LoadIcon", "RegisterClassExA", "CreateWindowExA",    "SetWindowPos", "ShowWindow",    "BeginPaint",  "EndPaint",
};

struct BenchMark {
    LONG call;    // BenchCall
    LONG leave;   // 0 when the call starts, 1 when it returned
    LONGLONG at;  // QueryPerformanceCounter
};

struct BenchSteps {
    volatile LONG count;  // marks written
    BenchMark marks[BenchStepSlots];
};

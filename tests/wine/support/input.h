// Input as the user and other programs give it to a window of another
// process: real keys and mouse through the system's input queue, posted and
// sent messages, and the activation.
#pragma once

#include <windows.h>

#include <functional>

// ---- Messages -------------------------------------------------------------

// A sent message that gives up on a hung window; `answered` tells whether
// the window procedure returned.
LRESULT SendWithin(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, bool* answered = nullptr);
LPARAM PointParam(int x, int y);
// A left click at a client point as mouse messages: posted (for commands
// that may open a modal box), or sent (each returns once handled).
void PostClick(HWND window, POINT point);
void SendClick(HWND window, POINT point);

// ---- Real input -----------------------------------------------------------

void Key(WORD key, bool down);
void Tap(WORD key);
void MouseButton(bool down);
void MouseTo(POINT screen);
// Whether the pointer arrives at a screen point within a few seconds.
bool WaitForPointerAt(POINT screen);
POINT ClientToScreenPoint(HWND window, POINT client);

// ---- Activation -------------------------------------------------------------

// Dispatches the driver's own pending messages.
void PumpMessages();
bool BringToFront(HWND window);

// A window of the driver's own, far from the menu, that takes the activation
// away from it the way any other program would.
class OtherWindow {
public:
    OtherWindow();
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    ~OtherWindow();
    HWND get() const { return window_; }
    bool Activate() { return BringToFront(window_); }

private:
    HWND window_ = nullptr;
};

// How long a state that must not change is watched: several of the menu's
// 250 ms pause ticks.
constexpr DWORD SteadyMs = 1200;
// Whether `condition` holds throughout `periodMs` (polled), and at its end.
bool StaysTrue(const std::function<bool()>& condition, DWORD periodMs = SteadyMs);

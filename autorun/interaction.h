// The interaction logic of the menu window: hover, keyboard focus, the press
// of the left button, the key and button tables and the cursor rule.
// Platform-free: the window feeds it events and carries out what it returns.
#pragma once

#include "autorun/menu.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A position in the current menu's hotspots, or none. None behaves as the
// position just past the last hotspot: stepping forward from the last hotspot
// reaches it and stepping back from it reaches the last hotspot.
using HotspotRef = std::size_t;
constexpr HotspotRef NoHotspot = static_cast<HotspotRef>(-1);

enum class InputAction { Nothing, Press, DragWindow, Activate, Back, CloseMenuWindow };
// What becomes of the mouse capture: a held button keeps receiving the
// pointer's messages until its release, wherever the pointer goes.
enum class CaptureChange { Keep, Take, Release };
// Wait: the hourglass; Busy: the arrow with one beside it.
enum class CursorChoice { Busy, Hand, Arrow, Wait };

// Virtual-key codes, character codes and extra-button numbers the tables use.
constexpr unsigned VkLeft = 0x25, VkUp = 0x26, VkRight = 0x27, VkDown = 0x28;
constexpr unsigned CharBackspace = 0x08, CharTab = 0x09, CharEnter = 0x0D, CharEscape = 0x1B, CharSpace = 0x20;
constexpr unsigned ExtraButton1 = 1, ExtraButton2 = 2;

struct InteractionState {
    HotspotRef HoverHotspot = NoHotspot;
    HotspotRef FocusHotspot = NoHotspot;
    bool ButtonPressed = false;
    Rect PressedRect;  // all zero while no press is held
};

// What an input event asks of the window, carried out in this order: repaint
// these hotspot rectangles in their order, change the capture, then carry out
// `action` (with `hotspot` for Activate). Press and Nothing ask for no more.
struct InputResult {
    InputAction action = InputAction::Nothing;
    HotspotRef hotspot = NoHotspot;
    CaptureChange capture = CaptureChange::Keep;
    std::vector<Rect> repaints;
};

using Hotspots = std::vector<Hotspot>;

// The first hotspot containing the point, or NoHotspot.
HotspotRef HitTest(const Hotspots& hotspots, std::int32_t x, std::int32_t y);
// Whether the hotspot at `pos` can hold the keyboard focus: the close box
// never does, so Tab passes it by.
bool TakesFocus(const Hotspots& hotspots, HotspotRef pos);

// Exported for their unit tests, which step through hotspot lists no key
// table reaches in one step.
void RepaintHotspotChange(const Hotspots& hotspots, HotspotRef old, HotspotRef now, std::vector<Rect>& repaints);
void FocusNextHotspot(InteractionState& state, const Hotspots& hotspots, std::vector<Rect>& repaints);
void FocusPreviousHotspot(InteractionState& state, const Hotspots& hotspots, std::vector<Rect>& repaints);

InputResult ButtonDown(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y);
InputResult ButtonUp(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y);
InputResult PointerMoved(InteractionState& state, const Hotspots& hotspots, std::int32_t x, std::int32_t y,
                         bool active);
InputResult ActivationChanged(InteractionState& state, const Hotspots& hotspots, bool active);
InputResult KeyDown(InteractionState& state, const Hotspots& hotspots, unsigned virtualKey);
InputResult CharTyped(InteractionState& state, const Hotspots& hotspots, unsigned character, bool shift);
// The first extra button is the back button: pressed, it takes the capture;
// released, it gives the capture back and goes back when the pointer is
// inside the client area.
InputResult BackButtonDown(unsigned button);
InputResult BackButtonUp(unsigned button, std::int32_t x, std::int32_t y, std::int32_t clientWidth,
                         std::int32_t clientHeight);
// The busy cursor: while the shell call of a start blocks the window thread,
// which then cannot answer for its cursor, CursorDuringShellCall shows. From
// a start that gives a process, `busy` holds until that program is ready for
// input, at most BusyCursorLimitMs, or until the program of any start is: the
// first to be ready ends it. Otherwise the hand over a hotspot, else the arrow.
constexpr CursorChoice CursorDuringShellCall = CursorChoice::Wait;
constexpr unsigned BusyCursorLimitMs = 10000;
CursorChoice ChooseCursor(const InteractionState& state, bool busy);

// Every menu switch puts both hotspot references back to none; the press
// state is left alone.
void ResetHotspotRefs(InteractionState& state);

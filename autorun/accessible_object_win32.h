// The menu window as screen readers see it: an accessible object whose
// children are the hotspots of the menu on screen, handed out on WM_GETOBJECT,
// and the events that tell readers what changed. The accessibility DLLs are
// loaded on the first request only, so nothing of this costs start-up time.
#pragma once

#include "autorun/accessible_menu.h"
#include "autorun/menu.h"

#include <windows.h>

// Asks the window to carry out a reader's default action: wParam is the child
// id, lParam the menu that was on screen when the reader asked.
constexpr UINT WM_ACCESSIBLEACTION = WM_APP + 16;

// The window as a reader finds it now: shown, enabled, holding the focus.
WindowFacts ReaderFacts(HWND window);

// The answer to WM_GETOBJECT: the accessible object for OBJID_CLIENT,
// DefWindowProc's answer for everything else, where the system lacks the
// accessibility DLLs and while COM cannot start (tried again at the next
// request).
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);

// Cuts every reader off the object: their calls fail from now on. On
// WM_DESTROY.
void DisconnectAccessibleObject();

// Tells readers what changed on the window since the last call: the screen
// (its children and its name), the keyboard focus, the hovered hotspot. The
// first call only takes note. Cheap when nothing changed: called after every
// message of the menu window.
void AnnounceAccessibleChanges(HWND window);

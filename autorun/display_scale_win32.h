// The display scale of the menu window, as the system reports it to a
// program that opted in through its manifest.
#pragma once

#include <windows.h>

// The scale the menu window works at now (window thread only); 96 until the
// window is set up, and always 96 in a program without the opt-in.
extern unsigned MenuDpi;

// The scale of `window`'s monitor, or 96 when the program did not opt in.
// At 96 nothing more is asked of the system.
unsigned ReadWindowDpi(HWND window);

// `frame` (a client rectangle) grown by the frame of `style` at `dpi`.
void AdjustFrameForDpi(RECT& frame, DWORD style, unsigned dpi);

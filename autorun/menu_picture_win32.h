// Draws a menu's picture at the window's scale: the 100 % bitmap as it is at
// 100 %, else the menu's 200 % picture (NAME@2x) or, without one, the 100 %
// picture, resampled to the menu's size at that scale.
#pragma once

#include "autorun/menu.h"

#include <windows.h>

// Copies the picture of `menu` at `dpi` to (0, 0) of `dc`.
void DrawMenuPicture(HDC dc, const Menu& menu, unsigned dpi);

// The platform-free Rect (menu.h) and the platform's RECT, field by field.
#pragma once

#include "autorun/menu.h"

#include <windows.h>

inline RECT ToWin32Rect(const Rect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

inline Rect FromWin32Rect(const RECT& rect)
{
    Rect result;
    result.left = rect.left;
    result.top = rect.top;
    result.right = rect.right;
    result.bottom = rect.bottom;
    return result;
}

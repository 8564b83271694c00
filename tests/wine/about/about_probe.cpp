// Linked only into the About test builds of autorun. Under Wine another
// process can read neither a window's system menu nor its fonts, so this
// object answers the driver's questions from inside the program, on its
// window thread, as lines on standard output (which the driver captures).
#include "autorun/resources/resource_ids.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

UINT ProbeMessage = 0;
HGDIOBJ TitleFontSeen = nullptr;

void Answer(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// "sysmenu|<item>|..." with "-" for a separator and "<id in hex>:<text>".
void DescribeSystemMenu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    const int count = GetMenuItemCount(menu);
    std::string line = "sysmenu";
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        char item[300];
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR)
            std::snprintf(item, sizeof item, "|-");
        else
            std::snprintf(item, sizeof item, "|%x:%s", GetMenuItemID(menu, i), text);
        line += item;
    }
    Answer(line);
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::string DescribeFont(HGDIOBJ font)
{
    LOGFONTA info = {};
    if (font == nullptr || GetObjectA(font, sizeof info, &info) != sizeof info)
        return "none";
    // The face the font is realised with, as GetTextFaceA reads it.
    char face[LF_FACESIZE] = {};
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    char text[160];
    std::snprintf(text, sizeof text, "%ld,%ld,%d,%d,%s,%s", info.lfWeight, info.lfHeight, info.lfItalic, info.lfCharSet,
                  info.lfFaceName, face);
    return text;
}

// "fonts|<title>|<about line>|<dialog>", each
// "weight,height,italic,charset,face asked for,face realised".
void DescribeFonts()
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) {
        Answer("fonts|no dialog");
        return;
    }
    TitleFontSeen = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
    const auto text = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, IDC_ABOUT_TEXT, WM_GETFONT, 0, 0));
    const auto own = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    Answer("fonts|" + DescribeFont(TitleFontSeen) + "|" + DescribeFont(text) + "|" + DescribeFont(own));
}

LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == ProbeMessage) {
        switch (message->wParam) {
        case 1:
            DescribeSystemMenu(message->hwnd);
            break;
        case 2:
            DescribeFonts();
            break;
        case 3:
            Answer(std::string("titlefont|") + (GetObjectType(TitleFontSeen) == 0 ? "deleted" : "alive"));
            break;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs before WinMain, on the thread that will own the menu window.
[[maybe_unused]] const bool Installed = [] {
    ProbeMessage = RegisterWindowMessageA("VelmoraAboutProbe");
    return SetWindowsHookExA(WH_CALLWNDPROC, WatchMessages, nullptr, GetCurrentThreadId()) != nullptr;
}();

}  // namespace

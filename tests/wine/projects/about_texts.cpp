// Prints the caption and the title and text lines of the About dialog on
// the screen, as UTF-8, one "name=text" line each; exit code 1 when no
// dialog is open. The test reads them from outside the menu's process, as a
// user reads them.
#include "autorun/resources/resource_ids.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// A named callback: on i686 a lambda would not have the calling convention
// EnumWindows calls with.
BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (std::wcscmp(className, L"#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::string Utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::string Text(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return Utf8(text);
}

}  // namespace

int main()
{
    HWND dialog = nullptr;
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) {
        std::puts("no dialog");
        return 1;
    }
    std::printf("caption=%s\n", Text(dialog).c_str());
    std::printf("title=%s\n", Text(GetDlgItem(dialog, IDC_ABOUT_TITLE)).c_str());
    std::printf("text=%s\n", Text(GetDlgItem(dialog, IDC_ABOUT_TEXT)).c_str());
    return 0;
}

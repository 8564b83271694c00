// The About dialog: the lines about_content.h makes, the title in bold, in
// the places of the dialog's template, which holds the publisher line itself.
#include "autorun/about_dialog_win32.h"

#include "autorun/about_content.h"
#include "autorun/build_time.h"
#include "autorun/display_scale.h"
#include "autorun/display_scale_win32.h"
#include "autorun/launcher_state.h"
#include "autorun/placement_win32.h"
#include "autorun/program_resources_win32.h"
#include "autorun/resources/resource_ids.h"
#include "common/handle_win32.h"
#include "common/program_path_win32.h"

#include <string>

namespace {

constexpr int TitlePointSize = 8;

// The link time of the program file at `path` as local calendar time; false
// when the file cannot be read or holds no PE headers.
bool ReadBuildTime(const char* path, SYSTEMTIME& time)
{
    // Read sharing only: nobody can write to the file, so its size stays the
    // size of the mapping while the view is read.
    UniqueHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file.get(), &sizeHigh);
    // An empty file cannot be mapped; one of 4 GiB or more is no program.
    if (size == 0 || size == INVALID_FILE_SIZE || sizeHigh != 0)
        return false;
    UniqueHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping)
        return false;
    UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view)
        return false;

    std::uint32_t seconds = 0;
    if (!ReadLinkTimeStamp(static_cast<const unsigned char*>(view.get()), size, seconds))
        return false;
    const std::uint64_t count = SecondsToFileTime(seconds);
    FILETIME utc = {};
    utc.dwLowDateTime = static_cast<DWORD>(count);
    utc.dwHighDateTime = static_cast<DWORD>(count >> 32);
    FILETIME local = {};
    return FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &time);
}

// What the About box says needs from the platform: the about text, the
// copyright format, and the build date in the user's short date format,
// which only the platform's locale knows.
AboutFacts ReadAboutFacts(HWND dialog)
{
    AboutFacts facts;
    facts.aboutText = AboutText;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window keeps its module handle as a LONG_PTR
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    facts.copyrightFormat = LoadStringResource(instance, IDS_COPYRIGHT);
    SYSTEMTIME time = {};
    // A cut-off path names another file, or none.
    facts.buildTimeRead = ReadBuildTime(OwnProgramPath().path.c_str(), time);
    if (facts.buildTimeRead) {
        char date[256] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, date, sizeof(date));
        facts.buildDate = date;
        facts.buildYear = time.wYear;
    } else {
        GetLocalTime(&time);
        facts.currentYear = time.wYear;
    }
    return facts;
}

// A bold font of the dialog font's face, 8 points high at the menu's scale
// (the screen's resolution at 100 %); the caller owns it.
HFONT CreateTitleFont(HWND dialog)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT answers with a handle
    const auto dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    WindowDc dc(dialog);
    ObjectSelection selection(dc.get(), dialogFont);
    char face[256] = {};
    GetTextFaceA(dc.get(), sizeof(face), face);
    const int dpi = MenuDpi == BaseDpi ? GetDeviceCaps(dc.get(), LOGPIXELSY) : static_cast<int>(MenuDpi);
    const int height = -MulDiv(TitlePointSize, dpi, 72);
    return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

INT_PTR InitAboutDialog(HWND dialog)
{
    const AboutContent content = MakeAboutContent(MenuList, ReadAboutFacts(dialog));
    SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, content.title.c_str());
    SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, content.text.c_str());
    SetDlgItemTextA(dialog, IDC_ABOUT_COPYRIGHT, content.copyright.c_str());

    SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(CreateTitleFont(dialog)), 0);

    CenterWindow(dialog, GetWindow(dialog, GW_OWNER));
    // TRUE: the system gives the focus to the first tab stop, the OK button.
    return TRUE;
}

void DeleteTitleFont(HWND dialog)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT answers with a handle
    const auto font = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
    // Had the bold font not been made, the static would report the dialog's
    // own font, which the dialog manager deletes itself.
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT answers with a handle
    if (font != nullptr && font != reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)))
        DeleteObject(font);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitAboutDialog(dialog);
    case WM_COMMAND:
        // OK, Enter, Esc and the caption's close button all arrive here.
        EndDialog(dialog, 0);
        return TRUE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    case WM_DESTROY:
        DeleteTitleFont(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowAboutDialog(HWND owner)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window keeps its module handle as a LONG_PTR
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}

// The menu window: the current menu's bitmap in a frame without title bar.
// The interaction logic decides what input means and the command planner
// what a command does; CarryOut below carries both out.
#include "autorun/menu_window_win32.h"

#include "autorun/about_dialog_win32.h"
#include "autorun/accessible_menu.h"
#include "autorun/accessible_object_win32.h"
#include "autorun/commands_win32.h"
#include "autorun/display_scale.h"
#include "autorun/display_scale_win32.h"
#include "autorun/interaction.h"
#include "autorun/launcher_state.h"
#include "autorun/media_removal_win32.h"
#include "autorun/menu_catalogue_win32.h"
#include "autorun/menu_pause.h"
#include "autorun/menu_picture_win32.h"
#include "autorun/navigation.h"
#include "autorun/placement_win32.h"
#include "autorun/program_resources_win32.h"
#include "autorun/rect_win32.h"
#include "autorun/resources/resource_ids.h"
#include "autorun/run_once_win32.h"
#include "autorun/system_events.h"
#include "common/handle_win32.h"
#include "common/program_path_win32.h"

#include <windowsx.h>

#include <cstdint>
#include <string>

// The message parameters go to the platform-free logic as they come: its
// numbers must be the platform's own.
static_assert(VkLeft == VK_LEFT && VkUp == VK_UP && VkRight == VK_RIGHT && VkDown == VK_DOWN,
              "the arrow keys of the interaction logic");
static_assert(ExtraButton1 == XBUTTON1 && ExtraButton2 == XBUTTON2, "the extra buttons of the interaction logic");

namespace {

constexpr UINT_PTR PauseTimerId = 1;
constexpr UINT PauseTimerPeriodMs = 250;

bool IsActive(HWND window)
{
    return GetActiveWindow() == window;
}

// A mouse message's point in the menu pixels that the hotspots are given in.
std::int32_t MenuX(LPARAM point)
{
    return ToMenuPixel(GET_X_LPARAM(point), MenuDpi);
}

std::int32_t MenuY(LPARAM point)
{
    return ToMenuPixel(GET_Y_LPARAM(point), MenuDpi);
}

bool IsPauseMutexHeld()
{
    // A mutex that exists but denies this access counts as absent.
    const UniqueHandle mutex(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, PauseMutexName));
    return static_cast<bool>(mutex);
}

void CarryOutPause(HWND window, PauseStep step)
{
    switch (step) {
    case PauseStep::Show:
        ShowWindow(window, SW_SHOW);
        break;
    case PauseStep::HideAndPoll:
        ShowWindow(window, SW_HIDE);
        SetTimer(window, PauseTimerId, PauseTimerPeriodMs, nullptr);
        break;
    case PauseStep::ShowAndStopPolling:
        KillTimer(window, PauseTimerId);
        ShowWindow(window, SW_SHOW);
        break;
    case PauseStep::Nothing:
        break;
    }
}

void PaintMenu(HDC dc, bool active)
{
    const Menu* menu = OnScreenMenu();
    if (menu == nullptr) {
        return;
    }
    DrawMenuPicture(dc, *menu, MenuDpi);
    const HotspotRef focus = Interaction.FocusHotspot;
    if (active && focus < menu->hotspots.size()) {
        const RECT rect = ToWin32Rect(ToPhysical(menu->hotspots[focus], MenuDpi));
        DrawFocusRect(dc, &rect);
    }
}

// Repaints go out one by one, in the order the logic asked for them, and
// never erase: the bitmap covers the whole client area.
void RequestRepaints(HWND window, const InputResult& result)
{
    for (const Rect& rect : result.repaints) {
        const RECT area = ToWin32Rect(ToPhysical(rect, MenuDpi));
        InvalidateRect(window, &area, FALSE);
    }
}

void ChangeCapture(HWND window, CaptureChange change)
{
    switch (change) {
    case CaptureChange::Take:
        SetCapture(window);
        break;
    case CaptureChange::Release:
        ReleaseCapture();
        break;
    case CaptureChange::Keep:
        break;
    }
}

// The one place where an input decision is carried out, in the order the
// result promises. `point` is the message's own pointer position, which a
// drag hands on as it came.
void CarryOut(HWND window, const InputResult& result, LPARAM point)
{
    RequestRepaints(window, result);
    ChangeCapture(window, result.capture);
    if (result.action == InputAction::DragWindow) {
        // The background acts as a title bar: default processing runs the
        // move loop until the button is released.
        SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, point);
        return;
    }
    CommandPlan plan;
    if (PlanInputCommand(result, CurrentHotspots(), reinterpret_cast<std::uintptr_t>(window), OwnProgramPath().path,
                         MenuList, UserCountry, plan)) {
        CarryOutCommand(window, plan);
    }
}

// A system message's decision, carried out without deciding again.
void CarryOutSystemEvent(HWND window, const SystemEventDecision& decision)
{
    switch (decision.action) {
    case SystemEventAction::RunCommand:
        CarryOutCommand(window, decision.command);
        break;
    case SystemEventAction::RegisterRunOnce:
        // Nothing can be reported while the session ends; the result is moot.
        RegisterRunOnce(decision.valueName, decision.commandLine);
        break;
    case SystemEventAction::Nothing:
        break;
    }
}

void AppendAboutEntry(HWND window)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window keeps its module handle as a LONG_PTR
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    const std::string text = LoadStringResource(instance, IDS_ABOUT);
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    InsertMenuA(systemMenu, GetMenuItemCount(systemMenu), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuA(systemMenu, GetMenuItemCount(systemMenu), MF_BYPOSITION, IDM_ABOUT, text.c_str());
}

// Runs inside CreateWindowExA, while the window is still hidden.
LRESULT SetUpMenuWindow(HWND window)
{
    // No title bar, but a dialog frame; the system menu stays on Alt+Space.
    LONG style = GetWindowLongA(window, GWL_STYLE);
    style = (style & ~WS_CAPTION) | WS_DLGFRAME;
    SetWindowLongA(window, GWL_STYLE, style);

    // The client area is exactly the root menu's bitmap at the monitor's
    // scale; later menus keep it.
    MenuDpi = ReadWindowDpi(window);
    RECT frame{0, 0, 0, 0};
    if (const Menu* menu = OnScreenMenu()) {
        frame.right = ToPhysical(menu->bitmapInfo.width, MenuDpi);
        frame.bottom = ToPhysical(menu->bitmapInfo.height, MenuDpi);
    }
    AdjustFrameForDpi(frame, static_cast<DWORD>(style), MenuDpi);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    CenterWindow(window, nullptr);

    if (!AboutText.empty()) {
        AppendAboutEntry(window);
    }
    return 0;
}

LRESULT OnActivate(HWND window, WPARAM wParam)
{
    const bool active = LOWORD(wParam) != WA_INACTIVE;
    CarryOut(window, ActivationChanged(Interaction, CurrentHotspots(), active), 0);
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) {
        PaintMenu(dc, IsActive(window));
    }
    EndPaint(window, &paint);
    return 0;
}

LRESULT OnEndSession(HWND window, WPARAM wParam)
{
    const ProgramPath& program = OwnProgramPath();
    CarryOutSystemEvent(window, DecideSessionEnd(wParam != 0, MenuList, program.path, program.whole));
    return 0;
}

LRESULT OnSetCursor()
{
    SetCursor(LoadCursorA(nullptr, CursorResource(ChooseCursor(Interaction, BusyProcess.load() != 0))));
    return TRUE;
}

LRESULT OnKeyDown(HWND window, WPARAM wParam)
{
    CarryOut(window, KeyDown(Interaction, CurrentHotspots(), static_cast<unsigned>(wParam)), 0);
    return 0;
}

LRESULT OnChar(HWND window, WPARAM wParam)
{
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    CarryOut(window, CharTyped(Interaction, CurrentHotspots(), static_cast<unsigned>(wParam), shift), 0);
    return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if ((wParam & 0xFFF0) == IDM_ABOUT) {
        ShowAboutDialog(window);
    }
    return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnTimer(HWND window, WPARAM wParam)
{
    if (wParam == PauseTimerId)
        CarryOutPause(window, PauseAtTick(IsPauseMutexHeld()));
    return 0;
}

LRESULT OnMouseMove(HWND window, LPARAM lParam)
{
    CarryOut(window, PointerMoved(Interaction, CurrentHotspots(), MenuX(lParam), MenuY(lParam), IsActive(window)),
             lParam);
    return 0;
}

LRESULT OnLeftButtonDown(HWND window, LPARAM lParam)
{
    CarryOut(window, ButtonDown(Interaction, CurrentHotspots(), MenuX(lParam), MenuY(lParam)), lParam);
    return 0;
}

LRESULT OnLeftButtonUp(HWND window, LPARAM lParam)
{
    CarryOut(window, ButtonUp(Interaction, CurrentHotspots(), MenuX(lParam), MenuY(lParam)), lParam);
    return 0;
}

LRESULT OnExtraButtonDown(HWND window, WPARAM wParam, LPARAM lParam)
{
    CarryOut(window, BackButtonDown(GET_XBUTTON_WPARAM(wParam)), lParam);
    return 0;
}

LRESULT OnExtraButtonUp(HWND window, WPARAM wParam, LPARAM lParam)
{
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    CarryOut(window,
             BackButtonUp(GET_XBUTTON_WPARAM(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), client.right,
                          client.bottom),
             lParam);
    return 0;
}

LRESULT OnPauseMenu(HWND window)
{
    CarryOutPause(window, PauseRequested());
    return 0;
}

// A reader's default action, carried out like Enter on the hotspot, unless
// the screen changed since the reader asked, or the window cannot be used
// now: the About box's own message loop delivers this message too.
LRESULT OnAccessibleAction(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (lParam == reinterpret_cast<LPARAM>(OnScreenMenu()))
        CarryOut(window,
                 DefaultActionOf(CurrentHotspots(), static_cast<ChildId>(wParam), IsUsable(ReaderFacts(window))), 0);
    return 0;
}

// A move to a monitor of another scale: the system's suggested rectangle
// keeps the window where the user put it, and the next paint draws the
// picture for the new scale.
LRESULT OnDpiChanged(HWND window, LPARAM lParam)
{
    MenuDpi = ReadWindowDpi(window);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_DPICHANGED hands the rectangle over in lParam
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

// Every event is answered TRUE: the menu never refuses a device change.
LRESULT OnDeviceChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    CarryOutSystemEvent(window,
                        DecideDeviceChange(ReadDeviceChange(wParam, lParam), OwnProgramPath().path, OwnDriveType));
    return 1;
}

LRESULT HandleMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return SetUpMenuWindow(window);
    case WM_DESTROY:
        DisconnectAccessibleObject();
        PostQuitMessage(0);
        return 0;
    case WM_GETOBJECT:
        return AnswerGetObject(window, wParam, lParam);
    case WM_ACCESSIBLEACTION:
        return OnAccessibleAction(window, wParam, lParam);
    case WM_ACTIVATE:
        return OnActivate(window, wParam);
    case WM_PAINT:
        return OnPaint(window);
    case WM_PRINTCLIENT:
        // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_PRINTCLIENT hands the device context over in wParam
        PaintMenu(reinterpret_cast<HDC>(wParam), IsActive(window));
        return 0;
    case WM_ENDSESSION:
        return OnEndSession(window, wParam);
    case WM_SETCURSOR:
        return OnSetCursor();
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam);
    case WM_CHAR:
        return OnChar(window, wParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window, wParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(window, lParam);
    case WM_LBUTTONDOWN:
        return OnLeftButtonDown(window, lParam);
    case WM_LBUTTONUP:
        return OnLeftButtonUp(window, lParam);
    case WM_XBUTTONDOWN:
        return OnExtraButtonDown(window, wParam, lParam);
    case WM_XBUTTONUP:
        return OnExtraButtonUp(window, wParam, lParam);
    case WM_DEVICECHANGE:
        return OnDeviceChange(window, wParam, lParam);
    case WM_PAUSEMENU:
        return OnPauseMenu(window);
    case WM_DPICHANGED:
        return OnDpiChanged(window, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Every change of the screen, the focus and the hover is made while some
// message is handled, so readers hear of it once that message is done.
LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = HandleMenuMessage(window, message, wParam, lParam);
    AnnounceAccessibleChanges(window);
    return result;
}

}  // namespace

HWND CreateMenuWindow(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MenuWindowProc;
    windowClass.hInstance = instance;
    // Each slot gets the icon of its own size from the resource, so the
    // system does not make the small one from the large one at registration.
    // Shared: the system keeps them as long as the program runs.
    windowClass.hIcon =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_AUTORUN), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                      GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_AUTORUN), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        LR_DEFAULTCOLOR | LR_SHARED));
    // No class cursor: WM_SETCURSOR sets it every time. No brush: the bitmap
    // covers the client area, so erasing would only make it flicker.
    windowClass.lpszClassName = MenuWindowClassName;
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }

    const Menu* menu = OnScreenMenu();
    const char* title = menu != nullptr ? menu->title.c_str() : "";
    HWND window = CreateWindowExA(0, MenuWindowClassName, title, WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }

    // The show command the program was started with is not used: the menu
    // always appears normal-sized, or not at all while paused.
    CarryOutPause(window, PauseAtCreation(IsPauseMutexHeld()));
    return window;
}

// CenterWindow on real windows: where they land for the work area this driver
// reads itself, that their size stays, and that placing them activates
// nothing.
#include "autorun/placement_win32.h"
#include "tests/wine/support/test_support.h"

#include <ostream>

static std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
static bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

const char* const ClassName = "VelmoraPlacementTestWindow";

void RegisterTestClass()
{
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = ClassName;
    registered = RegisterClassExA(&wc) != 0;
}

struct WindowCloser {
    static HWND Empty() { return nullptr; }
    static bool IsSet(HWND w) { return w != nullptr; }
    static void Free(HWND w) { DestroyWindow(w); }
};
using UniqueWindow = UniqueResource<HWND, WindowCloser>;

// A visible popup of the given size that was not activated when shown.
UniqueWindow CreateTestWindow(int x, int y, int width, int height, HWND owner = nullptr)
{
    RegisterTestClass();
    UniqueWindow window(CreateWindowExA(0, ClassName, "placement", WS_POPUP | WS_BORDER, x, y, width, height, owner,
                                        nullptr, GetModuleHandleA(nullptr), nullptr));
    if (window) {
        ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    }
    return window;
}

Rect ToRect(const RECT& r)
{
    Rect out;
    out.left = r.left;
    out.top = r.top;
    out.right = r.right;
    out.bottom = r.bottom;
    return out;
}

Rect WindowRect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return ToRect(r);
}

// The work area of the window's monitor, read straight from the platform.
Rect DriverWorkArea(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        return ToRect(info.rcWork);
    }
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return ToRect(area);
}

// A window that holds the activation while the others are placed, so that
// an activation by CenterWindow would show.
class ActiveAnchor {
public:
    ActiveAnchor() : window_(CreateTestWindow(0, 0, 120, 80))
    {
        if (window_) {
            ShowWindow(window_.get(), SW_SHOW);
            SetForegroundWindow(window_.get());
            SetActiveWindow(window_.get());
            WaitUntil([this] { return GetActiveWindow() == window_.get(); }, 5000);
        }
    }
    HWND get() const { return window_.get(); }

private:
    UniqueWindow window_;
};

// Centres `window`: its size, the activation and its place in the z-order
// must not change. Where it lands each case checks for itself.
void CheckCentred(HWND window, HWND reference)
{
    const Rect before = WindowRect(window);
    const HWND active = GetActiveWindow();
    const HWND foreground = GetForegroundWindow();
    const HWND above = GetWindow(window, GW_HWNDPREV);

    CHECK(CenterWindow(window, reference));

    const Rect after = WindowRect(window);
    CHECK_EQ(after.right - after.left, before.right - before.left);
    CHECK_EQ(after.bottom - after.top, before.bottom - before.top);
    CHECK(GetActiveWindow() == active);
    CHECK(GetForegroundWindow() == foreground);
    CHECK(GetActiveWindow() != window);
    CHECK(GetWindow(window, GW_HWNDPREV) == above);
}

}  // namespace

WINE_TEST(work_area_as_the_driver_reads_it)
{
    RECT primary = {};
    REQUIRE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0));
    CHECK_EQ(GetWorkArea(nullptr), ToRect(primary));

    UniqueWindow window = CreateTestWindow(50, 60, 200, 100);
    REQUIRE(window);
    CHECK_EQ(GetWorkArea(window.get()), DriverWorkArea(window.get()));
}

WINE_TEST(centres_on_the_work_area)
{
    ActiveAnchor anchor;
    REQUIRE(anchor.get());
    // An odd difference in both axes, started off the work area's corner.
    UniqueWindow window = CreateTestWindow(-30, 700, 605, 401);
    REQUIRE(window);
    CheckCentred(window.get(), nullptr);

    const Rect area = DriverWorkArea(window.get());
    const Rect placed = WindowRect(window.get());
    CHECK_EQ(placed.left, area.left + (area.right - area.left - 605) / 2);
    CHECK_EQ(placed.top, area.top + (area.bottom - area.top - 401) / 2);
}

WINE_TEST(centres_on_a_reference)
{
    ActiveAnchor anchor;
    REQUIRE(anchor.get());
    UniqueWindow owner = CreateTestWindow(200, 150, 500, 400);
    REQUIRE(owner);
    UniqueWindow dialog = CreateTestWindow(0, 0, 300, 200, owner.get());
    REQUIRE(dialog);
    CheckCentred(dialog.get(), owner.get());
    const Rect placed = WindowRect(dialog.get());
    CHECK_EQ(placed.left, 300);
    CHECK_EQ(placed.top, 250);

    // Over an owner smaller than itself, one small icon in from its corner.
    UniqueWindow small = CreateTestWindow(300, 300, 100, 60);
    REQUIRE(small);
    CheckCentred(dialog.get(), small.get());
    const Rect over = WindowRect(dialog.get());
    CHECK_EQ(over.left, 300 + GetSystemMetrics(SM_CXSMICON));
    CHECK_EQ(over.top, 300 + GetSystemMetrics(SM_CYSMICON));
}

WINE_TEST(keeps_a_reference_near_the_edge_inside)
{
    ActiveAnchor anchor;
    REQUIRE(anchor.get());
    const Rect area = GetWorkArea(nullptr);
    UniqueWindow reference = CreateTestWindow(area.right - 100, area.bottom - 80, 400, 300);
    REQUIRE(reference);
    UniqueWindow window = CreateTestWindow(10, 10, 300, 200);
    REQUIRE(window);
    CheckCentred(window.get(), reference.get());
    const Rect placed = WindowRect(window.get());
    const Rect own = DriverWorkArea(window.get());
    CHECK_EQ(placed.right, own.right);
    CHECK_EQ(placed.bottom, own.bottom);
}

WINE_TEST(larger_than_the_work_area)
{
    ActiveAnchor anchor;
    REQUIRE(anchor.get());
    const Rect area = GetWorkArea(nullptr);
    const int width = area.right - area.left + 200;
    UniqueWindow window = CreateTestWindow(area.left + 100, area.top + 10, width, 300);
    REQUIRE(window);
    const Rect created = WindowRect(window.get());
    REQUIRE(created.right - created.left == width);
    CheckCentred(window.get(), nullptr);
    // Too wide: at the work area's left edge; centred in height.
    const Rect own = DriverWorkArea(window.get());
    CHECK_EQ(WindowRect(window.get()).left, own.left);
    CHECK_EQ(WindowRect(window.get()).top, own.top + (own.bottom - own.top - 300) / 2);
}

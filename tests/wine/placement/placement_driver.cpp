// CenterWindow on real windows: where they land on the screen the Wine tests
// run on, that their size stays, and that placing them activates nothing.
#include "autorun/placement_win32.h"
#include "tests/wine/support/test_support.h"

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

POINT TopLeft(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return POINT{r.left, r.top};
}

// run-wine-tests starts Xvfb with one 1280 x 1024 screen, and nothing on it
// (no panel, no dock) takes a strip off the work area: every expected place
// below follows from that screen alone.
constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 1024;

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
// must not change. Where it lands the case checks.
void CheckCentred(HWND window, HWND reference)
{
    RECT before = {};
    GetWindowRect(window, &before);
    const HWND active = GetActiveWindow();
    const HWND foreground = GetForegroundWindow();
    const HWND above = GetWindow(window, GW_HWNDPREV);

    CHECK(CenterWindow(window, reference));

    RECT after = {};
    GetWindowRect(window, &after);
    CHECK_EQ(after.right - after.left, before.right - before.left);
    CHECK_EQ(after.bottom - after.top, before.bottom - before.top);
    CHECK(GetActiveWindow() == active);
    CHECK(GetForegroundWindow() == foreground);
    CHECK(GetActiveWindow() != window);
    CHECK(GetWindow(window, GW_HWNDPREV) == above);
}

}  // namespace

WINE_TEST(centres_real_windows_without_resizing_or_activating_them)
{
    REQUIRE(GetSystemMetrics(SM_CXSCREEN) == ScreenWidth && GetSystemMetrics(SM_CYSCREEN) == ScreenHeight);
    ActiveAnchor anchor;
    REQUIRE(anchor.get());

    // On the work area: odd differences in both axes (675 and 623) are
    // halved towards zero, wherever the window started.
    UniqueWindow alone = CreateTestWindow(-30, 700, 605, 401);
    REQUIRE(alone);
    CheckCentred(alone.get(), nullptr);
    CHECK_EQ(TopLeft(alone.get()).x, 337L);
    CHECK_EQ(TopLeft(alone.get()).y, 311L);

    // On a reference: over the middle of the owner.
    UniqueWindow owner = CreateTestWindow(200, 150, 500, 400);
    REQUIRE(owner);
    UniqueWindow dialog = CreateTestWindow(0, 0, 300, 200, owner.get());
    REQUIRE(dialog);
    CheckCentred(dialog.get(), owner.get());
    CHECK_EQ(TopLeft(dialog.get()).x, 300L);
    CHECK_EQ(TopLeft(dialog.get()).y, 250L);

    // A reference hanging off the screen's lower right corner: the window
    // is pulled back to end on the screen's edges.
    UniqueWindow nearEdge = CreateTestWindow(ScreenWidth - 100, ScreenHeight - 80, 400, 300);
    REQUIRE(nearEdge);
    UniqueWindow pulled = CreateTestWindow(10, 10, 300, 200);
    REQUIRE(pulled);
    CheckCentred(pulled.get(), nearEdge.get());
    CHECK_EQ(TopLeft(pulled.get()).x, LONG{ScreenWidth - 300});
    CHECK_EQ(TopLeft(pulled.get()).y, LONG{ScreenHeight - 200});
}

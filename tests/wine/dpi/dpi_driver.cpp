// The menu of a project that opted into the display scale, run in a prefix
// whose scale (LogPixels) is 96, 144 or 192 DPI: its window's size, its
// pixels, a click, the focus frame and what a reader is told, all at the
// scale; and the manifests of programs with and without the opt-in.
//
// The test screens are 160 x 120 menu pixels; the first hotspot of the main
// screen, (10, 10, 70, 50), shows the second screen.
#include "tests/wine/support/autorun_fixture.h"
#include "tests/wine/support/input.h"
#include "tests/wine/support/screen_reader.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

// How a failed check shows a size.
static bool operator==(const SIZE& a, const SIZE& b)
{
    return a.cx == b.cx && a.cy == b.cy;
}
static std::ostream& operator<<(std::ostream& out, const SIZE& size)
{
    return out << size.cx << " x " << size.cy;
}

namespace {

constexpr int MenuWidth = 160;
constexpr int MenuHeight = 120;
const RECT ShowSecond = {10, 10, 70, 50};

std::string Program(const char* variant)
{
    return WindowsPath(std::string(DPI_PROGRAMS_DIR) + "/" + variant + "/autorun.exe");
}

// The prefix's scale, as a program that handles the scale itself sees it;
// it must be the one the case was started for (DPI_SCALE), or the case
// would pass at 96 whatever it was meant to prove.
unsigned SystemDpi()
{
    const WindowDc screen(nullptr);
    const auto dpi = static_cast<unsigned>(GetDeviceCaps(screen.get(), LOGPIXELSX));
    const char* wanted = std::getenv("DPI_SCALE");
    REQUIRE(wanted != nullptr);
    CHECK_EQ(dpi, static_cast<unsigned>(std::strtoul(wanted, nullptr, 10)));
    return dpi;
}

int Scaled(int menuPixels, unsigned dpi)
{
    return MulDiv(menuPixels, static_cast<int>(dpi), 96);
}

RECT Scaled(const RECT& rect, unsigned dpi)
{
    return RECT{Scaled(rect.left, dpi), Scaled(rect.top, dpi), Scaled(rect.right, dpi), Scaled(rect.bottom, dpi)};
}

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// The client area once the screen has shown the same picture for several
// polls in a row: the screen may lag behind the window's last paint.
Pixels SettledCapture(HWND window)
{
    Pixels last;
    int same = 0;
    WaitUntil([&] {
        UpdateWindow(window);
        Pixels now = CaptureClient(window);
        same = now == last ? same + 1 : 0;
        last = std::move(now);
        return same >= 5;
    });
    return same >= 5 ? last : Pixels();
}

}  // namespace

// The window is the menu's size at the scale, and shows the menu's picture
// for it: the 100 % one at 96, the 200 % one as it is at 192.
WINE_TEST(window_and_picture_follow_the_scale)
{
    const unsigned dpi = SystemDpi();
    const std::string exe = ScratchCopy(Program("aware"), "dpi_picture");
    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    CHECK_EQ(ClientSize(menu.Window()), (SIZE{Scaled(MenuWidth, dpi), Scaled(MenuHeight, dpi)}));
    if (dpi == 96)
        CHECK(menu.Shows(LoadBitmapPixels(exe, "DPI-MAIN")));
    if (dpi == 192)
        CHECK(menu.Shows(LoadBitmapPixels(exe, "DPI-MAIN@2X")));
    CHECK(menu.Close());
}

// Hotspots keep their 100 % coordinates in the files: the focus frame, the
// reader's locations and hit test, and a click all meet them at the scale.
WINE_TEST(hotspots_work_at_the_scale)
{
    const unsigned dpi = SystemDpi();
    Autorun menu;
    REQUIRE(menu.StartCopy(Program("aware"), "dpi_hotspots") && menu.WaitUntilShown());
    HWND window = menu.Window();
    REQUIRE(BringToFront(window));
    const RECT hotspot = Scaled(ShowSecond, dpi);

    const Pixels plain = SettledCapture(window);
    REQUIRE(!plain.Empty());
    SendWithin(window, WM_CHAR, '\t');
    CHECK(WaitUntil([&] {
        UpdateWindow(window);
        return ShowsFocusFrame(CaptureClient(window), plain, hotspot);
    }));

    Reader reader;
    REQUIRE(reader.Attach(window));
    CHECK_EQ(reader.Location(1), OnScreen(window, hotspot));
    // The last physical pixel of the scaled hotspot is still the hotspot;
    // at 100 % it would lie beyond it.
    const POINT inside = {hotspot.right - 1, hotspot.bottom - 1};
    CHECK_EQ(reader.HitTest(ClientToScreenPoint(window, inside)), 1L);

    SendClick(window, inside);
    CHECK(WaitUntil([&] { return reader.Name(CHILDID_SELF) == "DPI Second"; }));
    if (dpi == 192)
        CHECK(menu.Shows(LoadBitmapPixels(menu.Program(), "DPI-SECOND@2X")));
    CHECK(menu.Close());
}

// The same menus built without the opt-in keep their 100 % size, whatever
// the system reports.
WINE_TEST(without_the_opt_in_nothing_scales)
{
    const std::string exe = ScratchCopy(Program("unaware"), "dpi_unaware");
    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    CHECK_EQ(ClientSize(menu.Window()), (SIZE{MenuWidth, MenuHeight}));
    CHECK(menu.Shows(LoadBitmapPixels(exe, "DPI-MAIN")));
    CHECK(menu.Close());
}

// The manifest resource of the program file at `path`.
static std::string Manifest(const std::string& path)
{
    UniqueLibrary module(LoadLibraryExA(WindowsPath(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC info = module ? FindResourceA(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    HGLOBAL data = info ? LoadResource(module.get(), info) : nullptr;
    return data ? std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module.get(), info))
                : std::string();
}

// A project without 200 % pictures (the shipped disc, and the test menus
// built without them) carries the manifest as it always was, byte for byte;
// one with them adds the per-monitor awareness.
WINE_TEST(manifest_opts_in_only_with_double_pictures)
{
    std::string expected;
    REQUIRE(ReadWholeFile(WindowsPath(MANIFEST_TEMPLATE), expected));
    const std::string architecture = sizeof(void*) == 8 ? "amd64" : "X86";
    const std::pair<std::string, std::string> fills[] = {{"@MANIFEST_ARCHITECTURE@", architecture},
                                                         {"@MANIFEST_ARCHITECTURE@", architecture},
                                                         {"@MANIFEST_WINDOWS_SETTINGS@", ""}};
    for (const auto& fill : fills) {
        const auto at = expected.find(fill.first);
        REQUIRE(at != std::string::npos);
        expected.replace(at, fill.first.size(), fill.second);
    }
    CHECK_EQ(Manifest(SHIPPED_AUTORUN), expected);
    CHECK_EQ(Manifest(Program("unaware")), expected);
    const std::string aware = Manifest(Program("aware"));
    CHECK(aware.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
                     "PerMonitor</dpiAwareness>") != std::string::npos);
}

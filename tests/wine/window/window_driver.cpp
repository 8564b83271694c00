// The menu window of a running autorun.exe, observed and steered from outside
// as the user, the shell and other programs would: its frame and place, its
// pixels on the screen, keys and mouse, the pause mutex, the removal of the
// disc it runs from, and the end of the logon session.
//
// Every case starts its own copy of the program in a fresh folder, so the
// one-copy-per-path rule never meets a copy of an earlier case. Messages whose
// effect must be complete before the next check are sent, not posted: the
// send returns once the window procedure has handled them.
#include "tests/wine/support/autorun_fixture.h"
#include "tests/wine/support/input.h"
#include "tests/wine/support/registry.h"
#include "tests/wine/support/stand_ins.h"

#include <dbt.h>
#include <tlhelp32.h>
#include <winioctl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The test screens (160 x 120): main has an execute hotspot, a showmenu
// hotspot for the second screen and a close hotspot; second starts with back.
const char* const TestTitle = "Velmora Window Test";
const POINT TestShowSecond = {120, 30};
const POINT TestBackground = {120, 90};
const RECT TestFirstHotspot = {10, 10, 70, 50};

std::string Shipped()
{
    return WindowsPath(SHIPPED_AUTORUN);
}

std::string Variant(const char* name)
{
    return WindowsPath(std::string(WINDOW_VARIANTS_DIR) + "/" + name + "/autorun.exe");
}

// ---- Hotspots and pixels ------------------------------------------------------

// The hotspot rectangles of menu index `name` in the program file at `exe`:
// the first four fields of each line.
std::vector<RECT> ReadHotspots(const std::string& exe, const char* name)
{
    std::vector<RECT> rects;
    UniqueLibrary module(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module)
        return rects;
    HRSRC info = FindResourceA(module.get(), name, MAKEINTRESOURCEA(10));
    HGLOBAL data = info ? LoadResource(module.get(), info) : nullptr;
    if (!data)
        return rects;
    const std::string text(static_cast<const char*>(LockResource(data)), SizeofResource(module.get(), info));
    std::string::size_type from = 0;
    while (from < text.size()) {
        auto end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(from, end - from);
        from = end + 1;
        RECT rect;
        if (std::sscanf(line.c_str(), "%ld;%ld;%ld;%ld;", &rect.left, &rect.top, &rect.right, &rect.bottom) == 4)
            rects.push_back(rect);
    }
    return rects;
}

// Which hotspot's focus frame the window shows: its index, -1 for the plain
// bitmap, -2 for anything else.
int ShownFocus(HWND window, const Pixels& bitmap, const std::vector<RECT>& hotspots)
{
    const Pixels shown = CaptureClient(window);
    if (shown == bitmap)
        return -1;
    for (size_t i = 0; i < hotspots.size(); ++i) {
        if (ShowsFocusFrame(shown, bitmap, hotspots[i]))
            return static_cast<int>(i);
    }
    return -2;
}

bool WaitForFocus(HWND window, const Pixels& bitmap, const std::vector<RECT>& hotspots, int expected)
{
    int last = -3;
    const bool seen = WaitUntil([&] { return (last = ShownFocus(window, bitmap, hotspots)) == expected; });
    if (!seen)
        std::printf("    focus shown: %d, expected %d\n", last, expected);
    return seen;
}

// ---- Drives -------------------------------------------------------------------------

// The request of Wine's mount manager that defines or removes a drive letter
// (the older layout in the MinGW headers lacks four fields).
constexpr DWORD DefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

// A drive letter that nothing uses yet, mapped to `directory` (on Z:, the
// Linux root) for as long as this lives, as a drive of `type`. Wine's mount
// manager makes the prefix's dosdevices link, as its drive settings do.
class MappedDrive {
public:
    explicit MappedDrive(const std::string& directory, ULONG type = DRIVE_FIXED)
    {
        if (directory.compare(0, 3, "Z:\\") != 0)
            return;
        std::string unixPath = directory.substr(2);
        for (char& c : unixPath) {
            if (c == '\\')
                c = '/';
        }
        const DWORD used = GetLogicalDrives();
        for (char letter = 'Q'; letter <= 'Y'; ++letter) {
            if (!(used & (1u << (letter - 'A'))) && Define(letter, type, unixPath)) {
                letter_ = letter;
                break;
            }
        }
    }
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    ~MappedDrive()
    {
        if (letter_)
            Define(letter_, DRIVE_NO_ROOT_DIR, std::string());
    }
    char letter() const { return letter_; }
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    // An empty path takes the letter away again.
    static bool Define(char letter, ULONG type, const std::string& unixPath)
    {
        UniqueHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!manager)
            return false;
        std::string request(sizeof(UnixDriveRequest), '\0');
        request += unixPath;
        request += '\0';
        UnixDriveRequest drive = {};
        drive.size = static_cast<ULONG>(request.size());
        drive.type = type;
        drive.letter = static_cast<WCHAR>(letter - 'A' + 'a');
        drive.mountPointOffset = unixPath.empty() ? 0 : static_cast<USHORT>(sizeof(UnixDriveRequest));
        request.replace(0, sizeof drive, reinterpret_cast<const char*>(&drive), sizeof drive);
        DWORD returned = 0;
        const bool done = DeviceIoControl(manager.get(), DefineUnixDrive, &request[0],
                                          static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr) != 0;
        if (!done)
            std::printf("    mount manager: error %lu for %c:\n", GetLastError(), letter);
        return done;
    }

    char letter_ = 0;
};

// The move loop marks the window's thread while it runs.
bool InMoveLoop(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

// Moves the pointer to `pointer` while the move loop runs, until the window's
// top left corner has followed it to `topLeft`. Under Wine's X11 driver a move
// can be lost: each warp of the pointer comes back as a motion event of the
// window under it, and one that comes back late takes the place of the move
// queued before it. So the move is sent again while the window has not
// followed; a move to where the pointer already is moves nothing.
bool DragTo(HWND window, POINT pointer, POINT topLeft)
{
    int polls = 0;
    return WaitUntil([&] {
        RECT rect = {};
        GetWindowRect(window, &rect);
        if (rect.left == topLeft.x && rect.top == topLeft.y)
            return true;
        if (polls++ % 10 == 0)
            MouseTo(pointer);
        return false;
    });
}

// ---- Loaded modules ------------------------------------------------------------------

// Where process `processId` loaded the module `name` from, in lower case;
// empty when it has not loaded it.
std::string LoadedModulePath(DWORD processId, const char* name)
{
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot)
        return {};
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot.get(), &entry); more; more = Module32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szModule, name) == 0) {
            std::string path = entry.szExePath;
            CharLowerA(&path[0]);
            return path;
        }
    }
    return {};
}

// A page of another process that notices a read: its guard goes with the
// first access. Freed with the process.
class GuardedPage {
public:
    explicit GuardedPage(HANDLE process)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE | PAGE_GUARD))
    {
    }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Untouched() const
    {
        MEMORY_BASIC_INFORMATION info = {};
        return address_ != nullptr && VirtualQueryEx(process_, address_, &info, sizeof info) == sizeof info &&
               (info.Protect & PAGE_GUARD) != 0;
    }

private:
    HANDLE process_;
    void* address_;
};

DEV_BROADCAST_VOLUME VolumeRecord(char letter, WORD flags)
{
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (letter - 'A');
    volume.dbcv_flags = flags;
    return volume;
}

}  // namespace

// ---- Frame and place --------------------------------------------------------------

WINE_TEST(frame_size_and_place)
{
    Autorun menu;
    REQUIRE(menu.StartCopy(Shipped(), "window_frame") && menu.WaitUntilShown());
    HWND window = menu.Window();

    CHECK_EQ(ClassNameOf(window), std::string(MenuWindowClassName));
    CHECK_EQ(WindowText(window), std::string(ShippedTitle));

    const LONG style = GetWindowLongA(window, GWL_STYLE);
    CHECK((style & WS_CAPTION) != WS_CAPTION);
    CHECK((style & WS_DLGFRAME) != 0);
    CHECK((style & WS_SYSMENU) != 0);
    CHECK((style & WS_MINIMIZEBOX) != 0);
    CHECK((style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD | WS_POPUP)) == 0);

    RECT client = {};
    GetClientRect(window, &client);
    CHECK_EQ(client, (RECT{0, 0, 600, 450}));

    // Centred on the work area of its monitor, as the driver reads it.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    REQUIRE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    RECT frame = {};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    CHECK(width > 600 && height > 450);
    CHECK(std::abs(frame.left - (work.left + (work.right - work.left - width) / 2)) <= 1);
    CHECK(std::abs(frame.top - (work.top + (work.bottom - work.top - height) / 2)) <= 1);

    CHECK(menu.Close());
}

// ---- Pixels -------------------------------------------------------------------------

WINE_TEST(bitmap_and_focus_frame_follow_tab_and_activation)
{
    const std::string exe = ScratchCopy(Shipped(), "window_pixels");
    const Pixels bitmap = LoadBitmapPixels(exe, ShippedEnglishMenu);
    const std::vector<RECT> hotspots = ReadHotspots(exe, ShippedEnglishMenu);
    REQUIRE(bitmap.width == 600 && bitmap.height == 450);
    REQUIRE(hotspots.size() >= 2);

    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    HWND window = menu.Window();
    REQUIRE(BringToFront(window));
    CHECK(WaitForFocus(window, bitmap, hotspots, -1));

    // Tab from no focus: the first hotspot, an execute one in this menu.
    PostMessageA(window, WM_CHAR, '\t', 0);
    CHECK(WaitForFocus(window, bitmap, hotspots, 0));

    OtherWindow other;
    REQUIRE(other.Activate());
    CHECK(WaitForFocus(window, bitmap, hotspots, -1));

    REQUIRE(BringToFront(window));
    CHECK(WaitForFocus(window, bitmap, hotspots, 0));

    CHECK(menu.Close());
}

// ---- Keys and mouse ---------------------------------------------------------------

WINE_TEST(tab_shift_tab_and_arrows_move_the_focus)
{
    const std::string exe = ScratchCopy(Shipped(), "window_keys");
    const Pixels bitmap = LoadBitmapPixels(exe, ShippedEnglishMenu);
    const std::vector<RECT> hotspots = ReadHotspots(exe, ShippedEnglishMenu);
    REQUIRE(hotspots.size() == 3);

    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    HWND window = menu.Window();
    REQUIRE(BringToFront(window));

    // Real keys: the window reads Shift from the keyboard state. The two
    // execute hotspots take the focus in turn; the close box never does.
    Tap(VK_TAB);
    CHECK(WaitForFocus(window, bitmap, hotspots, 0));
    Tap(VK_TAB);
    CHECK(WaitForFocus(window, bitmap, hotspots, 1));
    Tap(VK_TAB);
    CHECK(WaitForFocus(window, bitmap, hotspots, 0));
    for (int expected : {1, 0}) {
        Key(VK_SHIFT, true);
        Tap(VK_TAB);
        Key(VK_SHIFT, false);
        CHECK(WaitForFocus(window, bitmap, hotspots, expected));
    }

    // Arrows as the keyboard driver posts them.
    PostMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    CHECK(WaitForFocus(window, bitmap, hotspots, 1));
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    CHECK(WaitForFocus(window, bitmap, hotspots, 0));
    PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
    CHECK(WaitForFocus(window, bitmap, hotspots, 1));
    PostMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(WaitForFocus(window, bitmap, hotspots, 0));

    // Every key is answered 0, none is passed on to default processing.
    CHECK_EQ(SendWithin(window, WM_KEYDOWN, VK_F10, 0), LRESULT{0});
    CHECK(IsWindow(window));

    // Esc closes the window, and the program ends cleanly.
    Tap(VK_ESCAPE);
    CHECK(menu.Process().WaitForExit());
    CHECK_EQ(menu.Process().ExitCode(), DWORD{0});
}

WINE_TEST(left_press_on_the_background_drags_the_window)
{
    const std::string exe = ScratchCopy(Shipped(), "window_drag");
    const std::vector<RECT> hotspots = ReadHotspots(exe, ShippedEnglishMenu);
    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    HWND window = menu.Window();
    REQUIRE(BringToFront(window));

    // A point of the picture that no hotspot covers.
    const POINT background = {300, 40};
    for (const RECT& rect : hotspots)
        REQUIRE(!PtInRect(&rect, background));
    RECT before = {};
    GetWindowRect(window, &before);
    POINT start = background;
    ClientToScreen(window, &start);

    MouseTo(start);
    WaitForPointerAt(start);
    MouseButton(true);
    // Moves that arrive before the menu's move loop has begun would be taken
    // as the drag's starting point.
    REQUIRE(WaitUntil([&] { return InMoveLoop(window); }, 3000));
    for (int step = 1; step <= 10; ++step) {
        const POINT offset = {6 * step, 4 * step};
        CHECK(DragTo(window, POINT{start.x + offset.x, start.y + offset.y},
                     POINT{before.left + offset.x, before.top + offset.y}));
    }
    MouseButton(false);
    // The drag ends when the loop has taken the release. A close that arrives
    // while the loop still runs would end that loop instead of the program
    // (Wine's move loop swallows the quit message).
    CHECK(WaitUntil([&] { return !InMoveLoop(window); }));

    RECT after = {};
    GetWindowRect(window, &after);
    const bool followed = after.left == before.left + 60 && after.top == before.top + 40;
    if (!followed)
        std::printf("    the window moved from %ld,%ld to %ld,%ld\n", before.left, before.top, after.left, after.top);
    CHECK(followed);
    CHECK_EQ(after.right - after.left, before.right - before.left);
    CHECK_EQ(after.bottom - after.top, before.bottom - before.top);
    CHECK(menu.Close());
}

WINE_TEST(back_button_goes_back_only_when_released_inside)
{
    const std::string exe = ScratchCopy(Variant("window"), "window_back");
    StandIns standIns(DirectoryOf(exe) + "\\records");
    REQUIRE(standIns.Place(DirectoryOf(exe) + "\\recorder.exe"));
    const Pixels mainBitmap = LoadBitmapPixels(exe, "WINDOW-MAIN");
    const Pixels secondBitmap = LoadBitmapPixels(exe, "WINDOW-SECOND");
    REQUIRE(mainBitmap.width == 160 && secondBitmap.width == 160);
    const std::vector<RECT> first = {TestFirstHotspot};

    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    HWND window = menu.Window();
    CHECK_EQ(WindowText(window), std::string(TestTitle));
    PostClick(window, TestShowSecond);
    REQUIRE(WaitUntil([&] { return CaptureClient(window) == secondBitmap; }));

    // Pressed inside, released outside the client area (left of it and below
    // it): the screen stays. The Tab sent after it shows that the release was
    // handled: its focus frame appears on the screen that is then current.
    const WPARAM back = MAKEWPARAM(0, XBUTTON1);
    SendWithin(window, WM_XBUTTONDOWN, back, PointParam(30, 30));
    SendWithin(window, WM_XBUTTONUP, back, PointParam(-5, 30));
    SendWithin(window, WM_XBUTTONDOWN, back, PointParam(30, 30));
    SendWithin(window, WM_XBUTTONUP, back, PointParam(30, 125));
    // The other extra button never goes back.
    SendWithin(window, WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2), PointParam(30, 30));
    REQUIRE(BringToFront(window));
    SendWithin(window, WM_CHAR, '\t', 0);
    CHECK(WaitForFocus(window, secondBitmap, first, 0));

    // Released inside: back to the main screen.
    SendWithin(window, WM_XBUTTONDOWN, back, PointParam(30, 30));
    SendWithin(window, WM_XBUTTONUP, back, PointParam(30, 30));
    CHECK(WaitUntil([&] { return CaptureClient(window) == mainBitmap; }));

    // The window keeps the title and size of the root menu throughout.
    CHECK_EQ(WindowText(window), std::string(TestTitle));
    RECT client = {};
    GetClientRect(window, &client);
    CHECK_EQ(client, (RECT{0, 0, 160, 120}));

    // A click on the background starts nothing and leaves the screen: the
    // click on the first hotspot after it is the only start.
    PostClick(window, TestBackground);
    SendWithin(window, WM_NULL);
    CHECK(WaitUntil([&] { return !InMoveLoop(window); }));
    CHECK(CaptureClient(window) == mainBitmap);
    PostClick(window, POINT{40, 30});
    CHECK(standIns.WaitForRecords(1));
    const std::vector<StandInRecord> started = standIns.Records();
    CHECK_EQ(started.size(), size_t{1});
    CHECK(!started.empty() && started[0].args == std::vector<std::string>{"main"});
    CHECK(menu.Close());
}

// ---- Pause ---------------------------------------------------------------------------

WINE_TEST(held_pause_mutex_keeps_the_window_hidden)
{
    const std::string exe = ScratchCopy(Shipped(), "window_pause_start");
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, PauseMutexName));
    REQUIRE(mutex);

    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitForWindow());
    HWND window = menu.Window();
    CHECK(StaysTrue([&] { return !IsWindowVisible(window); }));
    RECT hidden = {};
    GetWindowRect(window, &hidden);

    mutex.reset();
    CHECK(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 2000));
    RECT shown = {};
    GetWindowRect(window, &shown);
    CHECK_EQ(shown, hidden);

    // Tested only while hidden: a pause begun later needs the message.
    mutex.reset(CreateMutexA(nullptr, FALSE, PauseMutexName));
    REQUIRE(mutex);
    CHECK(StaysTrue([&] { return IsWindowVisible(window) != FALSE; }));

    PostMessageA(window, WM_PAUSEMENU, 0, 0);
    CHECK(WaitUntil([&] { return !IsWindowVisible(window); }));
    CHECK(StaysTrue([&] { return !IsWindowVisible(window); }));
    mutex.reset();
    CHECK(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 2000));
    CHECK(menu.Close());
}

WINE_TEST(pause_message_without_mutex_shows_again_at_the_next_tick)
{
    Autorun menu;
    REQUIRE(menu.StartCopy(Shipped(), "window_pause_message") && menu.WaitUntilShown());
    CHECK_EQ(SendWithin(menu.Window(), WM_PAUSEMENU), LRESULT{0});
    CHECK(!IsWindowVisible(menu.Window()));
    CHECK(WaitUntil([&] { return IsWindowVisible(menu.Window()) != FALSE; }, 2000));
    CHECK(menu.Close());
}

WINE_TEST(common_controls_6_are_the_ones_loaded)
{
    // The manifest's request must name this build's own architecture: a
    // request for another one loads the old controls, or no program at all.
    // Version 6 is the side-by-side assembly, not the comctl32.dll of the
    // system folder (whose file version Wine gives both copies).
#ifdef _WIN64
    const std::string assembly = "\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#else
    const std::string assembly = "\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#endif
    Autorun menu;
    REQUIRE(menu.StartCopy(Shipped(), "window_controls") && menu.WaitUntilShown());
    const std::string controls = LoadedModulePath(menu.Process().Id(), "comctl32.dll");
    CHECK(!controls.empty());
    CHECK(controls.find(assembly) != std::string::npos);
    if (controls.find(assembly) == std::string::npos)
        std::printf("    comctl32.dll loaded from %s\n", controls.c_str());
    CHECK(menu.Close());
}

// ---- Media removal -------------------------------------------------------------------

WINE_TEST(removing_the_programs_disc_closes_the_menu)
{
    const std::string directory = ScratchDirectory("window_disc");
    REQUIRE(CopyFileTo(Shipped(), directory + "\\autorun.exe"));
    MappedDrive drive(directory, DRIVE_CDROM);
    REQUIRE(drive.letter() != 0);
    const char other = drive.letter() == 'Q' ? 'R' : 'Q';

    Autorun menu;
    REQUIRE(menu.Start(drive.root() + "autorun.exe", "", drive.root()) && menu.WaitUntilShown());
    HWND window = menu.Window();

    // Every event is answered 1; none of these closes the window.
    struct Event {
        WPARAM event;
        char letter;
        WORD flags;
    };
    for (const Event& e :
         {Event{DBT_DEVICEREMOVECOMPLETE, other, DBTF_MEDIA}, Event{DBT_DEVICEREMOVECOMPLETE, drive.letter(), 0},
          Event{DBT_DEVICEREMOVECOMPLETE, drive.letter(), DBTF_NET},
          Event{DBT_DEVICEQUERYREMOVE, drive.letter(), DBTF_MEDIA},
          Event{DBT_DEVICEREMOVEPENDING, drive.letter(), DBTF_MEDIA},
          Event{DBT_DEVICEARRIVAL, drive.letter(), DBTF_MEDIA}}) {
        DEV_BROADCAST_VOLUME volume = VolumeRecord(e.letter, e.flags);
        bool answered = false;
        CHECK_EQ(SendWithin(window, WM_DEVICECHANGE, e.event, reinterpret_cast<LPARAM>(&volume), &answered),
                 LRESULT{1});
        CHECK(answered);
        CHECK(IsWindow(window));
    }
    // Events without a record: their lParam is whatever number the sender
    // chose, and the menu follows none, not even to a page that notices it.
    const GuardedPage page(menu.Process().Handle());
    REQUIRE(page.Untouched());
    for (const WPARAM event : {DBT_DEVNODES_CHANGED, DBT_CONFIGCHANGED, DBT_QUERYCHANGECONFIG}) {
        for (const LPARAM data : {LPARAM{0}, LPARAM{1}, page.Address()}) {
            bool answered = false;
            CHECK_EQ(SendWithin(window, WM_DEVICECHANGE, event, data, &answered), LRESULT{1});
            CHECK(answered);
        }
    }
    CHECK(IsWindow(window));
    CHECK(page.Untouched());

    // The medium of the program's own drive goes, among others.
    DEV_BROADCAST_VOLUME volume = VolumeRecord(drive.letter(), DBTF_MEDIA);
    volume.dbcv_unitmask |= 1u << (other - 'A');
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume),
                        SMTO_ABORTIFHUNG, 10000, &result);
    CHECK(menu.Process().WaitForExit());
    CHECK_EQ(menu.Process().ExitCode(), DWORD{0});
}

namespace {

// An image's content (`content`: the disc's, or the stick's as mtools reads
// it back) on a drive of `type`, and the menu started from its root, as
// AutoPlay starts it from a CD and the customer from a stick (AutoRun starts
// nothing from one). The whole device of another drive goes, then that of
// its own: a removable or fixed drive takes the program with it. On a CD-ROM
// drive, the medium taken out of its own drive closes it.
void CheckRemovalOfTheDriveOfTheMenu(ULONG type, const char* content)
{
    MappedDrive drive(WindowsPath(content), type);
    REQUIRE(drive.letter() != 0);
    CHECK_EQ(GetDriveTypeA(drive.root().c_str()), UINT{type});
    const char other = drive.letter() == 'Q' ? 'R' : 'Q';

    Autorun menu;
    REQUIRE(menu.Start(drive.root() + "autorun.exe", "", drive.root()) && menu.WaitUntilShown());

    DEV_BROADCAST_VOLUME volume = VolumeRecord(other, 0);
    CHECK_EQ(SendWithin(menu.Window(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume)),
             LRESULT{1});
    CHECK(IsWindow(menu.Window()));

    volume = VolumeRecord(drive.letter(), 0);
    if (type == DRIVE_CDROM) {
        CHECK_EQ(
            SendWithin(menu.Window(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume)),
            LRESULT{1});
        CHECK(IsWindow(menu.Window()));
        volume = VolumeRecord(drive.letter(), DBTF_MEDIA);
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume),
                        SMTO_ABORTIFHUNG, 10000, &result);
    CHECK(menu.Process().WaitForExit());
    CHECK_EQ(menu.Process().ExitCode(), DWORD{0});
}

}  // namespace

WINE_TEST(removing_the_cd_closes_the_menu_started_from_it)
{
    CheckRemovalOfTheDriveOfTheMenu(DRIVE_CDROM, DISC_CONTENT);
}

WINE_TEST(pulling_the_stick_closes_the_menu_started_from_it)
{
    CheckRemovalOfTheDriveOfTheMenu(DRIVE_REMOVABLE, STICK_CONTENT);
}

// Some sticks report themselves as fixed disks (the stick image carries a
// partition table for them); pulled, they send no medium flag either.
WINE_TEST(pulling_a_stick_that_calls_itself_a_fixed_disk_closes_the_menu)
{
    CheckRemovalOfTheDriveOfTheMenu(DRIVE_FIXED, STICK_CONTENT);
}

WINE_TEST(removal_elsewhere_leaves_a_menu_on_another_drive_open)
{
    // Started from Z:, the Linux root: the broadcast for every other letter
    // changes nothing.
    Autorun menu;
    REQUIRE(menu.StartCopy(Shipped(), "window_disc_elsewhere") && menu.WaitUntilShown());
    DEV_BROADCAST_VOLUME volume = VolumeRecord('A', DBTF_MEDIA);
    volume.dbcv_unitmask = 0x01FFFFFF;  // a: to y:
    CHECK_EQ(SendWithin(menu.Window(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume)),
             LRESULT{1});
    CHECK(IsWindow(menu.Window()));
    CHECK(menu.Close());
}

// ---- End of the logon session ---------------------------------------------------------

WINE_TEST(session_end_registers_the_program_to_run_once)
{
    // A folder with a blank in its name: the path is stored without quotes.
    const std::string directory = ScratchDirectory("window_run_once") + "\\cd menu";
    REQUIRE(CreateDirectoryA(directory.c_str(), nullptr));
    const std::string exe = directory + "\\autorun.exe";
    REQUIRE(CopyFileTo(Shipped(), exe));
    SavedRegistryValue own(HKEY_CURRENT_USER, RunOnceKey, ShippedTitle);
    SavedRegistryValue neighbour(HKEY_CURRENT_USER, RunOnceKey, "Velmora Window Test Neighbour");
    REQUIRE(own.WriteText("C:\\older\\autorun.exe"));
    REQUIRE(neighbour.WriteText("C:\\other.exe /x"));

    Autorun menu;
    REQUIRE(menu.Start(exe, "-lang:de") && menu.WaitForWindow());

    // The session goes on: nothing is written.
    CHECK_EQ(SendWithin(menu.Window(), WM_ENDSESSION, 0, 0), LRESULT{0});
    CHECK_EQ(own.Read().bytes, std::string("C:\\older\\autorun.exe", 21));

    // The session ends: the program's own path, NUL included, no arguments.
    CHECK_EQ(SendWithin(menu.Window(), WM_ENDSESSION, 1, 0), LRESULT{0});
    const RegistryValue value = own.Read();
    CHECK(value.present);
    CHECK_EQ(value.type, DWORD{REG_SZ});
    CHECK_EQ(value.bytes, exe + std::string(1, '\0'));
    CHECK_EQ(neighbour.Read().bytes, std::string("C:\\other.exe /x", 16));

    CHECK(menu.Close());
}

WINE_TEST(session_end_without_a_title_writes_the_default_value)
{
    SavedRegistryValue untitled(HKEY_CURRENT_USER, RunOnceKey, "");
    untitled.Delete();
    const std::string exe = ScratchCopy(Variant("untitled"), "window_run_once_untitled");
    Autorun menu;
    REQUIRE(menu.Start(exe) && menu.WaitUntilShown());
    CHECK_EQ(WindowText(menu.Window()), std::string());

    CHECK_EQ(SendWithin(menu.Window(), WM_ENDSESSION, 0, 0), LRESULT{0});
    CHECK(!untitled.Read().present);
    CHECK_EQ(SendWithin(menu.Window(), WM_ENDSESSION, 1, 0), LRESULT{0});
    const RegistryValue value = untitled.Read();
    CHECK(value.present);
    CHECK_EQ(value.type, DWORD{REG_SZ});
    CHECK_EQ(value.bytes, exe + std::string(1, '\0'));
    CHECK(menu.Close());
}

// A running autorun.exe as a screen reader finds it: the accessible object
// of its menu window, asked from this process through the system's
// accessibility interface, and the events the window raises for it.
//
// The test screens (120 x 60, cells of 40 x 30): the root menu has an execute
// hotspot, a showmenu hotspot, a second execute hotspot and a close box; the
// second screen a back hotspot and a close box, and no names resource.
#include "tests/wine/support/autorun_fixture.h"
#include "tests/wine/support/input.h"
#include "tests/wine/support/screen_reader.h"
#include "tests/wine/support/stand_ins.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

// The root menu's hotspots in client coordinates, in index order.
const RECT RootHotspots[] = {{0, 0, 40, 30}, {40, 0, 80, 30}, {80, 0, 120, 30}, {0, 30, 40, 60}};

std::string TestProgram()
{
    return WindowsPath(ACCESSIBILITY_PROGRAM_DIR) + "\\autorun.exe";
}

bool German()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN;
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The events of the menu's process, seen by an out-of-context hook of this
// thread while it pumps its messages.
struct SeenEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};
std::vector<SeenEvent> SeenEvents;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    SeenEvents.push_back(SeenEvent{event, window, object, child});
}

class EventHook {
public:
    explicit EventHook(DWORD processId)
        : hook_(SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_NAMECHANGE, nullptr, RecordEvent, processId, 0,
                                WINEVENT_OUTOFCONTEXT))
    {
        SeenEvents.clear();
    }
    ~EventHook()
    {
        if (hook_ != nullptr)
            UnhookWinEvent(hook_);
    }
    EventHook(const EventHook&) = delete;
    EventHook& operator=(const EventHook&) = delete;
    bool Ready() const { return hook_ != nullptr; }

    // Whether `event` came for the client object of `window` with `child`.
    static bool WaitFor(DWORD event, HWND window, LONG child)
    {
        return WaitUntil([&] {
            PumpMessages();
            for (const SeenEvent& seen : SeenEvents) {
                if (seen.event == event && seen.window == window && seen.object == OBJID_CLIENT && seen.child == child)
                    return true;
            }
            return false;
        });
    }

private:
    HWINEVENTHOOK hook_;
};

}  // namespace

// The tree of the root menu as a reader walks it, in the user-interface
// language: given names, default names, roles, states, places, hit test and
// the steps between the children.
WINE_TEST(tree_of_the_root_menu, "en_US.UTF-8", "de_DE.UTF-8")
{
    SetCursorPos(0, 0);  // the real pointer stays off the menu: only the driver's moves count
    Autorun menu;
    REQUIRE(menu.StartCopy(TestProgram(), "accessibility-tree"));
    const HWND window = menu.WaitUntilShown();
    REQUIRE(window != nullptr);
    REQUIRE(BringToFront(window));
    Reader reader;
    REQUIRE(reader.Attach(window));

    // A name line per hotspot line; empty lines and missing ones give the
    // defaults: the showmenu target's title, the target's file name, the
    // close box in the user-interface language. The extra German line is
    // ignored.
    const std::vector<std::string> expected =
        German()
            ? std::vector<std::string>{"Velmora-Übersicht öffnen", "Zweite Seite für Tests", "readme.txt", "Schließen"}
            : std::vector<std::string>{"Install Velmora", "Second Access Screen", "readme.txt", "Close"};
    CHECK_EQ(reader.Count(), 4L);
    CHECK(reader.Names() == expected);
    CHECK_EQ(reader.Name(CHILDID_SELF), std::string(German() ? "Velmora Zugänglichkeitstest" : "Velmora Access Test"));

    CHECK_EQ(reader.Role(CHILDID_SELF), static_cast<LONG>(ROLE_SYSTEM_CLIENT));
    CHECK_EQ(reader.State(CHILDID_SELF), static_cast<LONG>(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED));
    CHECK_EQ(reader.Location(CHILDID_SELF), OnScreen(window, RECT{0, 0, 120, 60}));
    for (LONG child = 1; child <= 4; ++child) {
        const RECT place = OnScreen(window, RootHotspots[child - 1]);
        CHECK_EQ(reader.Role(child), static_cast<LONG>(ROLE_SYSTEM_PUSHBUTTON));
        CHECK_EQ(reader.Location(child), place);
        CHECK_EQ(reader.HitTest(Centre(place)), child);
    }
    // The close box is left out of the Tab order.
    CHECK_EQ(reader.State(1), static_cast<LONG>(STATE_SYSTEM_FOCUSABLE));
    CHECK_EQ(reader.State(4), 0L);
    SendMessageA(window, WM_MOUSEMOVE, 0, PointParam(100, 15));
    CHECK_EQ(reader.State(3), static_cast<LONG>(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED));
    BSTR action = nullptr;
    CHECK(SUCCEEDED(reader->get_accDefaultAction(Child(2), &action)));
    CHECK_EQ(Utf8(action), std::string(German() ? "Drücken" : "Press"));

    // The background is the menu itself; beyond the window is nothing.
    CHECK_EQ(reader.HitTest(Centre(OnScreen(window, RECT{60, 45, 60, 45}))), 0L);
    RECT frame{};
    GetWindowRect(window, &frame);
    CHECK_EQ(reader.HitTest(POINT{frame.right + 20, frame.bottom + 20}), -1L);

    CHECK_EQ(reader.Navigate(NAVDIR_FIRSTCHILD, CHILDID_SELF), 1L);
    CHECK_EQ(reader.Navigate(NAVDIR_LASTCHILD, CHILDID_SELF), 4L);
    CHECK_EQ(reader.Navigate(NAVDIR_NEXT, 2), 3L);
    CHECK_EQ(reader.Navigate(NAVDIR_PREVIOUS, 1), -1L);
    VARIANT unknown = Child(5);
    BSTR none = nullptr;
    CHECK_EQ(reader->get_accName(unknown, &none), E_INVALIDARG);
    CHECK(menu.Close());
}

// Tab moves the focus a reader hears about; the default action goes where
// Enter goes: a showmenu hotspot switches the screen and its children, back
// returns, an execute hotspot starts its target. A reference kept past the
// window's end fails cleanly.
WINE_TEST(focus_actions_and_the_end_of_the_window)
{
    const std::string folder = ScratchDirectory("accessibility-actions");
    StandIns targets(ScratchDirectory("accessibility-actions-records"));
    REQUIRE(CopyFileTo(TestProgram(), folder + "\\autorun.exe"));
    REQUIRE(targets.Place(folder + "\\tool.exe"));
    Autorun menu;
    REQUIRE(menu.Start(folder + "\\autorun.exe"));
    const HWND window = menu.WaitUntilShown();
    REQUIRE(window != nullptr);
    REQUIRE(BringToFront(window));
    Reader reader;
    REQUIRE(reader.Attach(window));
    const EventHook hook(menu.Id());
    REQUIRE(hook.Ready());

    SendMessageA(window, WM_CHAR, '\t', 0);
    CHECK(EventHook::WaitFor(EVENT_OBJECT_FOCUS, window, 1));
    SendMessageA(window, WM_CHAR, '\t', 0);
    CHECK(EventHook::WaitFor(EVENT_OBJECT_FOCUS, window, 2));
    CHECK_EQ(reader.Focus(), 2L);
    CHECK_EQ(reader.State(2), static_cast<LONG>(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED));
    CHECK_EQ(reader.State(CHILDID_SELF), static_cast<LONG>(STATE_SYSTEM_FOCUSABLE));

    const Pixels root = LoadBitmapPixels(menu.Program(), "ACC-EN");
    const Pixels second = LoadBitmapPixels(menu.Program(), "ACC-SECOND");
    REQUIRE(!root.Empty() && root != second);
    CHECK(SUCCEEDED(reader->accDoDefaultAction(Child(2))));
    CHECK(menu.Shows(second));
    CHECK(EventHook::WaitFor(EVENT_OBJECT_REORDER, window, CHILDID_SELF));
    CHECK(EventHook::WaitFor(EVENT_OBJECT_NAMECHANGE, window, CHILDID_SELF));
    CHECK(reader.Names() == (std::vector<std::string>{"Back", "Close"}));
    CHECK_EQ(reader.Name(CHILDID_SELF), std::string("Second Access Screen"));
    CHECK_EQ(reader.Focus(), static_cast<LONG>(CHILDID_SELF));

    CHECK(SUCCEEDED(reader->accDoDefaultAction(Child(1))));
    CHECK(menu.Shows(root));
    CHECK(WaitUntil([&] { return reader.Count() == 4; }));

    CHECK(SUCCEEDED(reader->accDoDefaultAction(Child(1))));
    StandInRecord started;
    REQUIRE(targets.WaitForRecord("tool", started));
    CHECK(started.args == (std::vector<std::string>{"one", "two"}));
    targets.Release();

    CHECK(menu.Close());
    LONG count = 0;
    CHECK(FAILED(reader->get_accChildCount(&count)));
}

// The menus of a language whose texts are stored in another code page than
// the system's: Polish (1250) on an English system (1252), where the same
// bytes would read "³" for "ł".
WINE_TEST(polish_names_on_an_english_system)
{
    Autorun menu;
    REQUIRE(menu.StartCopy(TestProgram(), "accessibility-polish", "-lang:pl"));
    const HWND window = menu.WaitUntilShown();
    REQUIRE(window != nullptr);
    REQUIRE(GetACP() == 1252);
    Reader reader;
    REQUIRE(reader.Attach(window));
    CHECK_EQ(reader.Name(CHILDID_SELF), std::string("Test dostępności łącza"));
    // Given names, another menu's title, and the system's own word for a
    // close box without a name.
    CHECK(reader.Names() ==
          (std::vector<std::string>{"Zainstaluj Velmorę", "Druga strona testów", "readme.txt", "Wyłącz"}));
    CHECK(menu.Close());
}

// Behind the About box, and while another program pauses the menu, a reader
// can press nothing: every hotspot says it is unavailable (and invisible while
// hidden), and a close hotspot's default action fails and leaves the menu and
// the dialog as they are.
WINE_TEST(nothing_can_be_pressed_behind_the_about_box_or_while_paused)
{
    Autorun menu;
    REQUIRE(menu.StartCopy(TestProgram(), "accessibility-about"));
    const HWND window = menu.WaitUntilShown();
    REQUIRE(window != nullptr);
    Reader reader;
    REQUIRE(reader.Attach(window));

    PostMessageA(window, WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND dialog = nullptr;
    REQUIRE(WaitUntil([&] {
        dialog = FindProcessWindow(menu.Id(), "#32770");
        return dialog != nullptr && IsWindowVisible(dialog);
    }));
    REQUIRE(!IsWindowEnabled(window));
    for (LONG child = 0; child <= 4; ++child)
        CHECK_EQ(reader.State(child), static_cast<LONG>(STATE_SYSTEM_UNAVAILABLE));
    CHECK(FAILED(reader->accDoDefaultAction(Child(4))));

    // A pause posted after the refused action hides the menu once the
    // messages before it are handled: any action would have been carried out.
    PostMessageA(window, WM_PAUSEMENU, 0, 0);
    CHECK(WaitUntil([&] { return !IsWindowVisible(window); }));
    CHECK(IsWindow(window));
    CHECK(IsWindow(dialog));
    CHECK_EQ(reader.State(4), static_cast<LONG>(STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE));
    CHECK(FAILED(reader->accDoDefaultAction(Child(1))));

    // Without the pause mutex the next tick shows the menu; once the dialog
    // ends, the hotspots can be pressed again.
    CHECK(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    CHECK(WaitUntil([&] { return !IsWindow(dialog); }));
    CHECK_EQ(reader.State(1), static_cast<LONG>(STATE_SYSTEM_FOCUSABLE));
    CHECK(SUCCEEDED(reader->accDoDefaultAction(Child(4))));
    CHECK(menu.EndsByItself());
}

// Starts autorun and its test variants the way Explorer would and checks what
// they write, which menu they open and how they end. The variants carry other
// menu data; their captions tell which menus were loaded.
#include "tests/wine/support/autorun_fixture.h"
#include "tests/wine/support/input.h"

#include <string>
#include <vector>

namespace {

std::string Variant(const char* name)
{
    return WindowsPath(std::string(STARTUP_VARIANTS_DIR) + "/" + name + "/autorun.exe");
}

std::string Shipped()
{
    return WindowsPath(SHIPPED_AUTORUN);
}

struct MenuRun {
    bool ended = false;  // by itself or closed, with 0
    std::string output;
    bool window = false;  // a menu window of the process was shown
    std::string caption;
    int width = 0;
    int height = 0;
};

// Runs one start of the program to its end: a window it opens is read and
// then closed the way the user would close it.
MenuRun RunMenu(const std::string& exe, const std::string& arguments = "")
{
    MenuRun run;
    Autorun menu;
    if (!menu.Start(exe, arguments))
        return run;
    if (HWND window = menu.WaitUntilShown()) {
        run.window = true;
        run.caption = WindowText(window);
        RECT client{};
        GetClientRect(window, &client);
        run.width = client.right - client.left;
        run.height = client.bottom - client.top;
        run.ended = menu.Close();
    } else {
        run.ended = menu.EndsByItself();
    }
    run.output = menu.Output();
    return run;
}

// A start that must open the menu with this caption and write nothing.
void ExpectMenu(const std::string& exe, const std::string& arguments, const std::string& caption)
{
    const MenuRun run = RunMenu(exe, arguments);
    CHECK(run.window);
    CHECK_EQ(run.caption, caption);
    CHECK_EQ(run.output, std::string());
    CHECK(run.ended);
}

// A start that must end by itself without a window, having written `output`.
void ExpectNoMenu(const std::string& exe, const std::string& arguments, const std::string& output)
{
    const MenuRun run = RunMenu(exe, arguments);
    CHECK(!run.window);
    CHECK(run.ended);
    CHECK_EQ(run.output, AsWritten(output));
}

const std::string English = "English menu";
const std::string German = "Deutsches Menue";

std::string UpperCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

// ---- The shipped program ------------------------------------------------------

WINE_TEST(shipped_menu_opens, "en_US.UTF-8", "de_DE.UTF-8")
{
    const MenuRun run = RunMenu(Shipped());
    CHECK(run.window);
    CHECK_EQ(run.caption, std::string(ShippedTitle));
    CHECK_EQ(run.width, 600);
    CHECK_EQ(run.height, 450);
    CHECK_EQ(run.output, std::string());
    CHECK(run.ended);
}

// ---- The menu language --------------------------------------------------------

WINE_TEST(english_user_gets_english_menus)
{
    ExpectMenu(Variant("langs"), "", English);
}
WINE_TEST(german_user_gets_german_menus, "de_DE.UTF-8")
{
    ExpectMenu(Variant("langs"), "", German);
}

WINE_TEST(lang_option_chooses_the_language)
{
    ExpectMenu(Variant("langs"), "-lang:de", German);
    ExpectMenu(Variant("langs"), "/lang:de", German);
}

WINE_TEST(lang_option_overrides_the_user_language, "de_DE.UTF-8")
{
    ExpectMenu(Variant("langs"), "-lang:en", English);
}

// A "lang" without exactly one value, or spelt another way, leaves the user's
// own language in place, whichever it is.
static void ExpectMalformedLangOptionsIgnored(const std::string& caption)
{
    for (const char* arguments : {"-lang:de,en", "-lang:en,de", "-lang", "-lang:", "-LANG:de", "-Lang:en"})
        ExpectMenu(Variant("langs"), arguments, caption);
}

WINE_TEST(malformed_lang_option_keeps_english)
{
    ExpectMalformedLangOptionsIgnored(English);
}
WINE_TEST(malformed_lang_option_keeps_german, "de_DE.UTF-8")
{
    ExpectMalformedLangOptionsIgnored(German);
}

WINE_TEST(language_without_menus_falls_back_to_english, "de_DE.UTF-8")
{
    ExpectMenu(Variant("langs"), "-lang:xx", English);
}

WINE_TEST(long_language_code_is_read_whole)
{
    ExpectMenu(Variant("long_language"), "", "Long language");
}

WINE_TEST(missing_language_string_selects_empty_language)
{
    ExpectMenu(Variant("no_strings"), "", "Empty language");
}

// ---- Damaged menu data ------------------------------------------------------------

WINE_TEST(no_main_index)
{
    ExpectNoMenu(Variant("no_main_index"), "",
                 "error: can't load main index from resources\n"
                 "error: can't load main index from resources\n"
                 "error: no menus found\n");
}

WINE_TEST(lf_only_main_index_is_one_line)
{
    ExpectMenu(Variant("lf_only"), "", "LF only\nde;;;LF-MENU;second line\n");
}

WINE_TEST(damaged_lines_are_reported_and_the_rest_loads)
{
    const MenuRun run = RunMenu(Variant("damaged"));
    CHECK(run.window);
    CHECK_EQ(run.caption, std::string("Damaged; but loaded"));
    CHECK_EQ(run.output, AsWritten("error: invalid line in main index:\nde;x;;DAMAGED-GOOD\n"
                                   "error: invalid line in main index:\nfr\n"
                                   "error: can't load menu index \"NO-INDEX\" from resources\n"
                                   "error: can't load menu bitmap \"NO-BITMAP\" from resources\n"
                                   "error: invalid line in menu index \"DAMAGED-GOOD\":\n584;5;595;16;close\n"
                                   "error: invalid line in menu index \"DAMAGED-GOOD\":\ngarbage\n"));
    CHECK(run.ended);
}

WINE_TEST(unloadable_english_menus_are_tried_twice)
{
    const std::string once =
        "error: can't load menu index \"NO-INDEX\" from resources\n"
        "error: can't load menu bitmap \"NO-BITMAP\" from resources\n";
    ExpectNoMenu(Variant("missing"), "", once + once + "error: no menus found\n");
    ExpectNoMenu(Variant("missing"), "-lang:en", once + once + "error: no menus found\n");
    // The first attempt for a language without lines writes nothing.
    ExpectNoMenu(Variant("missing"), "-lang:de", once + "error: no menus found\n");
}

WINE_TEST(no_root_menu_for_the_language)
{
    // English would have a root menu, but German menus did load.
    ExpectNoMenu(Variant("no_root"), "-lang:de", "error: no root menu found\n");
    ExpectMenu(Variant("no_root"), "-lang:en", "English root");
}

// ---- Country filters ---------------------------------------------------------------

WINE_TEST(country_menus_for_a_user_in_germany, "de_DE.UTF-8")
{
    ExpectMenu(Variant("country"), "-lang:en", "Germany root");
    ExpectMenu(Variant("country"), "-lang:xy", "General first");
    ExpectMenu(Variant("country"), "-lang:gx", "Germany only");
}

WINE_TEST(country_menus_for_a_user_elsewhere)
{
    ExpectMenu(Variant("country"), "-lang:en", "General root");
    ExpectMenu(Variant("country"), "-lang:xy", "General first");
    ExpectNoMenu(Variant("country"), "-lang:gx", "error: no root menu found\n");
}

// ---- One copy per executable path ------------------------------------------------

// A second start of the same path, spelt in either letter case, ends at once
// with 0, without a word or a window of its own, and brings the first copy's
// window back as it was placed: restored when minimised, and in front of the
// window that had taken the activation.
WINE_TEST(second_start_raises_the_first)
{
    const std::string exe = ScratchCopy(Variant("langs"), "startup_second_start");
    Autorun first;
    REQUIRE(first.Start(exe));
    HWND window = first.WaitUntilShown();
    REQUIRE(window);
    RECT placed = {};
    GetWindowRect(window, &placed);

    for (bool minimised : {true, false}) {
        OtherWindow other;
        if (minimised) {
            ShowWindow(window, SW_MINIMIZE);
            REQUIRE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
        }
        REQUIRE(other.Activate());

        Autorun second;
        REQUIRE(second.Start(minimised ? exe : UpperCase(exe)));
        bool secondWindow = false;
        CHECK(WaitUntil([&] {
            secondWindow = secondWindow || FindProcessWindow(second.Id(), MenuWindowClassName) != nullptr;
            return !second.Process().Running();
        }));
        CHECK(second.EndsByItself());
        CHECK_EQ(second.Output(), std::string());
        CHECK(!secondWindow);

        CHECK(WaitUntil([&] {
            PumpMessages();
            return !IsIconic(window) && GetForegroundWindow() == window;
        }));
        RECT now = {};
        GetWindowRect(window, &now);
        CHECK(EqualRect(&now, &placed));
        CHECK(first.Process().Running());
    }
    CHECK(first.Close());
}

WINE_TEST(copy_at_another_path_runs_alone)
{
    Autorun first;
    REQUIRE(first.Start(Variant("langs")) && first.WaitForWindow());
    Autorun second;
    REQUIRE(second.StartCopy(Variant("langs"), "startup_copy"));
    CHECK(second.WaitForWindow() != nullptr);
    CHECK(first.Process().Running());
    CHECK(first.Close());
    CHECK(second.Close());
    CHECK_EQ(second.Output(), std::string());
}

// ---- Bad input ---------------------------------------------------------------------

WINE_TEST(command_line_of_32k_characters)
{
    const std::string exe = Variant("langs");
    // CreateProcessA takes at most 32767 characters with the terminator.
    const std::size_t room = 32766 - ("\"" + exe + "\"").size() - 1;
    const std::string pattern = "a\"b -c:d,e /f: \t-lang \"-x:y z\"";
    std::string arguments = "-lang:de ";
    while (arguments.size() < room)
        arguments += pattern[arguments.size() % pattern.size()];
    arguments.resize(room);
    ExpectMenu(exe, arguments, German);

    std::string separators(room, ':');
    for (std::size_t i = 0; i < separators.size(); i += 3)
        separators[i] = i % 2 ? ',' : '-';
    const MenuRun run = RunMenu(exe, separators);
    CHECK(run.ended);
}

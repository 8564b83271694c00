// The About box of autorun under Wine: the system-menu entry, the dialog that
// it opens over the menu window, its texts, its title font, and the ways it
// ends. The test build carries an about text, menus whose titles differ per
// language, and a probe that reports what only the program itself can read.
#include "tests/wine/support/autorun_fixture.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* DialogClass = "#32770";
constexpr const char* AboutText = "Velmora Test Disc 7.2";
constexpr const char* EnglishTitle = "Velmora About Test";
constexpr const char* GermanTitle = "Velmora Info-Test";

std::string Variant()
{
    return WindowsPath(ABOUT_AUTORUN);
}
std::string ShippedResourcesVariant()
{
    return WindowsPath(ABOUT_SHIPPED_PROBE);
}
std::string Shipped()
{
    return WindowsPath(SHIPPED_AUTORUN);
}

std::string ControlText(HWND dialog, int id)
{
    char text[512] = {};
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// A copy of autorun (the test build unless named) shown with its menu window.
bool StartShown(Autorun& autorun, const std::string& exe, const std::string& arguments = "")
{
    return autorun.Start(exe, arguments) && autorun.WaitUntilShown();
}

// The probe's answer that starts with `topic`, or "" when none came.
std::string Ask(Autorun& autorun, WPARAM question, const std::string& topic)
{
    static const UINT probe = RegisterWindowMessageA("VelmoraAboutProbe");
    const std::size_t seen = autorun.Output().size();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(autorun.Window(), probe, question, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    std::string answer;
    WaitUntil([&] {
        const std::string output = autorun.Output();
        const std::size_t at = output.find(topic + "|", seen);
        const std::size_t end = at == std::string::npos ? at : output.find("\r\n", at);
        if (end == std::string::npos)
            return false;
        answer = output.substr(at + topic.size() + 1, end - at - topic.size() - 1);
        return true;
    });
    return answer;
}

// The system menu as the program's window thread sees it.
std::vector<std::string> SystemMenu(Autorun& autorun)
{
    return Split(Ask(autorun, 1, "sysmenu"), '|');
}

// Opens the About box from the system menu; the dialog once it is shown.
HWND OpenAbout(Autorun& autorun)
{
    PostMessageA(autorun.Window(), WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND dialog = nullptr;
    WaitUntil([&] {
        dialog = FindProcessWindow(autorun.Id(), DialogClass);
        return dialog && IsWindowVisible(dialog);
    });
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

bool DialogEnds(HWND dialog)
{
    return WaitUntil([&] { return !IsWindow(dialog); });
}

// Starts `exe` and opens its About box: the dialog, shown.
HWND StartWithAbout(Autorun& autorun, const std::string& exe, const std::string& arguments = "")
{
    REQUIRE(StartShown(autorun, exe, arguments));
    HWND dialog = OpenAbout(autorun);
    REQUIRE(dialog);
    return dialog;
}

// Ends the dialog with its OK button's command, then the program.
void EndDialogAndProgram(Autorun& autorun, HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    CHECK(DialogEnds(dialog));
    CHECK(autorun.Close());
}

// The link time stamp of the PE file at `path`, read with the platform's
// own description of the headers.
bool LinkTimeStampOf(const std::string& bytes, std::size_t& at)
{
    IMAGE_DOS_HEADER dos = {};
    if (bytes.size() < sizeof dos)
        return false;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    at = static_cast<std::size_t>(dos.e_lfanew) + 4 + offsetof(IMAGE_FILE_HEADER, TimeDateStamp);
    return dos.e_magic == IMAGE_DOS_SIGNATURE && bytes.compare(dos.e_lfanew, 4, std::string("PE\0\0", 4)) == 0 &&
           at + 4 <= bytes.size();
}

// The date and year that the program shows for the link time stamp of the
// file at `path`: the user's short date of the local time of that moment.
bool ExpectedBuildDate(const std::string& path, std::string& date, int& year)
{
    std::string bytes;
    std::size_t at = 0;
    if (!ReadWholeFile(path, bytes) || !LinkTimeStampOf(bytes, at))
        return false;
    DWORD seconds = 0;
    std::memcpy(&seconds, bytes.data() + at, 4);
    ULARGE_INTEGER count;
    count.QuadPart = static_cast<ULONGLONG>(seconds) * 10000000ULL + 116444736000000000ULL;
    FILETIME utc = {count.LowPart, count.HighPart};
    FILETIME local = {};
    SYSTEMTIME time = {};
    char text[256] = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time) ||
        GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, sizeof text) == 0)
        return false;
    date = text;
    year = time.wYear;
    return true;
}

// A copy of the test build whose link time stamp is `seconds`.
std::string StampedCopy(const char* name, DWORD seconds)
{
    const std::string path = ScratchDirectory(name) + "\\autorun.exe";
    std::string bytes;
    std::size_t at = 0;
    if (!ReadWholeFile(Variant(), bytes) || !LinkTimeStampOf(bytes, at))
        return "";
    std::memcpy(&bytes[at], &seconds, 4);
    return WriteWholeFile(path, bytes) ? path : "";
}

// ---- The system-menu entry --------------------------------------------------

void CheckAboutEntryIsLast(const std::string& expectedText)
{
    Autorun autorun;
    REQUIRE(StartShown(autorun, Variant()));
    const std::vector<std::string> items = SystemMenu(autorun);
    REQUIRE(items.size() >= 4);
    CHECK_EQ(items.back(), "10:" + expectedText);
    CHECK_EQ(items[items.size() - 2], std::string("-"));
    // The standard commands come first, the entry only once.
    int entries = 0;
    for (const std::string& item : items)
        entries += item.compare(0, 3, "10:") == 0;
    CHECK_EQ(entries, 1);
    CHECK(autorun.Close());
}

WINE_TEST(system_menu_ends_with_the_about_entry)
{
    CheckAboutEntryIsLast("About this CD");
}

WINE_TEST(system_menu_entry_in_german, "de_DE.UTF-8")
{
    CheckAboutEntryIsLast(
        "\xDC"
        "ber diese CD");  // the ANSI code page 1252
}

WINE_TEST(shipped_build_has_no_about_entry)
{
    // The shipped file carries no about text...
    UniqueLibrary shipped(LoadLibraryExA(Shipped().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    REQUIRE(shipped);
    CHECK(FindResourceA(shipped.get(), "MENU", reinterpret_cast<LPCSTR>(RT_RCDATA)) != nullptr);
    CHECK(FindResourceA(shipped.get(), "ABOUT", reinterpret_cast<LPCSTR>(RT_RCDATA)) == nullptr);

    // ...and a build of its very resources shows no entry; WM_SYSCOMMAND with
    // the entry's id then opens nothing.
    Autorun autorun;
    REQUIRE(StartShown(autorun, ShippedResourcesVariant()));
    const std::vector<std::string> items = SystemMenu(autorun);
    REQUIRE(items.size() >= 2);
    for (const std::string& item : items)
        CHECK(item.compare(0, 3, "10:") != 0);
    CHECK(items.back() != "-");
    CHECK(autorun.Close());
}

// ---- The dialog template ----------------------------------------------------

// Reads the little-endian values and strings of a resource, never past its end.
class ResourceReader {
public:
    ResourceReader(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    bool ok() const { return ok_; }
    unsigned Word()
    {
        if (at_ + 2 > size_) {
            ok_ = false;
            return 0;
        }
        const unsigned value = bytes_[at_] | bytes_[at_ + 1] << 8;
        at_ += 2;
        return value;
    }
    unsigned Dword()
    {
        const unsigned low = Word();
        return low | Word() << 16;
    }
    // A zero-ended UTF-16 string, or "#<n>" for an ordinal.
    std::wstring NameOrOrdinal()
    {
        std::wstring text;
        unsigned c = Word();
        if (c == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        for (; ok_ && c != 0; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword() { at_ = (at_ + 3) & ~std::size_t(3); }
    void Skip(std::size_t count) { at_ += count; }

private:
    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

struct Language {
    WORD id;
    const wchar_t* caption;
    const wchar_t* button;
};

const Language Languages[] = {
    {0x000A, L"Sobre este CD", L"Aceptar"},
    {0x0015, L"About this CD", L"OK"},
    {0x0407, L"\u00DCber diese CD", L"OK"},
    {0x0409, L"About this CD", L"OK"},
    {0x040C, L"\u00C0 propos de ce CD-ROM", L"OK"},
    {0x0410, L"Informazioni su questo CD-ROM", L"OK"},
    {0x0413, L"Info CD", L"OK"},
    {0x0816, L"About this CD", L"OK"},
};

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Entry `id` of the string table of `language`, read from its block.
std::wstring StringOf(HMODULE module, UINT id, WORD language)
{
    HRSRC found = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_STRING), MAKEINTRESOURCEA(id / 16 + 1), language);
    if (!found)
        return L"(none)";
    ResourceReader block(static_cast<const unsigned char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    for (UINT entry = 0; entry < id % 16; ++entry)
        block.Skip(2 * block.Word());
    std::wstring text(block.Word(), L'\0');
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(block.Word());
    return block.ok() ? text : L"(damaged)";
}

// The template as the resource compiler wrote it, in each of the eight
// languages: the same layout and styles, the texts of the language, and a
// caption that is the language's IDS_ABOUT.
WINE_TEST(dialog_template_in_every_language)
{
    UniqueLibrary module(LoadLibraryExA(Shipped().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    REQUIRE(module);
    for (const Language& language : Languages) {
        const std::string where = "language " + std::to_string(language.id) + ": ";
        HRSRC found = FindResourceExA(module.get(), reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(IDD_ABOUT),
                                      language.id);
        CHECK_EQ(where + (found ? "found" : "missing"), where + "found");
        if (!found)
            continue;
        ResourceReader in(static_cast<const unsigned char*>(LockResource(LoadResource(module.get(), found))),
                          SizeofResource(module.get(), found));
        CHECK_EQ(in.Word(), 1u);  // extended template
        CHECK_EQ(in.Word(), 0xFFFFu);
        CHECK_EQ(in.Dword(), 0u);  // help id
        CHECK_EQ(in.Dword(), 0u);  // extended style
        CHECK_EQ(in.Dword(), 0x80C800C8u);
        CHECK_EQ(in.Word(), 5u);
        const unsigned frame[4] = {in.Word(), in.Word(), in.Word(), in.Word()};
        CHECK(frame[0] == 0 && frame[1] == 0 && frame[2] == 207 && frame[3] == 115);
        CHECK(in.NameOrOrdinal().empty());  // no menu
        CHECK(in.NameOrOrdinal().empty());  // no class
        const std::wstring caption = in.NameOrOrdinal();
        CHECK_EQ(where + Narrow(caption), where + Narrow(language.caption));
        CHECK(caption == language.caption);
        CHECK(caption == StringOf(module.get(), IDS_ABOUT, language.id));
        CHECK_EQ(in.Word(), 8u);      // points
        CHECK_EQ(in.Word(), 0u);      // weight
        CHECK_EQ(in.Word(), 0x100u);  // not italic, character set 1
        CHECK(in.NameOrOrdinal() == L"MS Shell Dlg");

        struct Control {
            unsigned id, style, x, y, width, height;
            const wchar_t* kind;
        };
        const Control controls[] = {
            {IDOK, 0x50010000, 150, 92, 50, 14, L"#128"},
            {IDC_ABOUT_TITLE, 0x50020000, 25, 20, 161, 8, L"#130"},
            {IDC_ABOUT_TEXT, 0x50020000, 25, 40, 161, 8, L"#130"},
            {IDC_ABOUT_COPYRIGHT, 0x50020000, 25, 60, 161, 8, L"#130"},
            {IDC_ABOUT_PUBLISHER, 0x50020000, 25, 70, 161, 8, L"#130"},
        };
        for (const Control& control : controls) {
            in.AlignDword();
            CHECK_EQ(in.Dword(), 0u);  // help id
            CHECK_EQ(in.Dword(), 0u);  // extended style
            CHECK_EQ(where + std::to_string(in.Dword()), where + std::to_string(control.style));
            const unsigned x = in.Word(), y = in.Word(), width = in.Word(), height = in.Word();
            CHECK(x == control.x && y == control.y && width == control.width && height == control.height);
            CHECK_EQ(in.Dword(), control.id);
            CHECK(in.NameOrOrdinal() == control.kind);
            const std::wstring text = in.NameOrOrdinal();
            if (control.id == IDOK)
                CHECK(text == language.button);
            else if (control.id == IDC_ABOUT_PUBLISHER)
                CHECK(text.find(L"Velmora, ") != std::wstring::npos);
            else
                CHECK(text.empty());
            in.Skip(in.Word());  // creation data
        }
        CHECK(in.ok());
        // The copyright format takes the year and nothing else.
        const std::wstring copyright = StringOf(module.get(), IDS_COPYRIGHT, language.id);
        const std::size_t percent = copyright.find(L'%');
        CHECK(percent != std::wstring::npos && copyright.compare(percent, 2, L"%d") == 0 &&
              copyright.find(L'%', percent + 1) == std::wstring::npos);
    }
}

// ---- The dialog -------------------------------------------------------------

WINE_TEST(dialog_is_owned_by_the_menu_window_and_placed_over_it)
{
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant());
    CHECK(GetWindow(dialog, GW_OWNER) == autorun.Window());
    CHECK(!IsWindowEnabled(autorun.Window()));  // modal

    RECT own = {}, owner = {};
    GetWindowRect(dialog, &own);
    GetWindowRect(autorun.Window(), &owner);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    REQUIRE(GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    const int iconWidth = GetSystemMetrics(SM_CXSMICON);
    const int iconHeight = GetSystemMetrics(SM_CYSMICON);
    // The owner (96 × 64 client) is smaller than the dialog, so the dialog
    // starts one small icon right of and below the owner's corner.
    CHECK(own.left >= work.left && own.right <= work.right);
    CHECK(own.top >= work.top && own.bottom <= work.bottom);
    CHECK_EQ(own.left, owner.left + iconWidth);
    CHECK_EQ(own.top, owner.top + iconHeight);

    // The keyboard focus is on the OK button.
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    REQUIRE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread));
    CHECK(thread.hwndFocus == GetDlgItem(dialog, IDOK));

    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    CHECK(DialogEnds(dialog));
    CHECK(autorun.Close());
}

// Caption, button, about line, copyright and publisher of the English dialog:
// everything but the title line, which follows the menu language.
void CheckEnglishDialogTexts(HWND dialog, const std::string& date, int year)
{
    CHECK_EQ(WindowText(dialog), "About this CD");
    CHECK_EQ(ControlText(dialog, IDOK), "OK");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_TEXT), std::string(AboutText) + " (" + date + ")");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_COPYRIGHT),
             "\xA9 " + std::to_string(year) + " Velmora. All rights reserved.");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_PUBLISHER), "Published by Velmora, Munich");
}

WINE_TEST(dialog_texts_for_an_english_user)
{
    std::string date;
    int year = 0;
    REQUIRE(ExpectedBuildDate(Variant(), date, year));
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant());
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_TITLE), EnglishTitle);
    CheckEnglishDialogTexts(dialog, date, year);
    EndDialogAndProgram(autorun, dialog);
}

// The menus follow -lang, the dialog the user-interface language.
WINE_TEST(german_menus_on_an_english_system)
{
    std::string date;
    int year = 0;
    REQUIRE(ExpectedBuildDate(Variant(), date, year));
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant(), "-lang:de");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_TITLE), GermanTitle);
    CheckEnglishDialogTexts(dialog, date, year);
    EndDialogAndProgram(autorun, dialog);
}

WINE_TEST(dialog_texts_for_a_german_user, "de_DE.UTF-8")
{
    std::string date;
    int year = 0;
    REQUIRE(ExpectedBuildDate(Variant(), date, year));
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant());
    CHECK_EQ(WindowText(dialog),
             "\xDC"
             "ber diese CD");
    CHECK_EQ(ControlText(dialog, IDOK), "OK");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_TITLE), GermanTitle);
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_TEXT), std::string(AboutText) + " (" + date + ")");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_COPYRIGHT),
             "\xA9 " + std::to_string(year) + " Velmora. Alle Rechte vorbehalten.");
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_PUBLISHER), "Herausgegeben von Velmora, M\xFCnchen");
    EndDialogAndProgram(autorun, dialog);
}

// A link time stamp of 0 is the first second of 1970 in UTC, shown as the
// local date of that moment; another one gives its own date and year.
WINE_TEST(date_and_year_come_from_the_link_time_stamp)
{
    for (DWORD seconds : {DWORD{0}, DWORD{1000000000}}) {
        const std::string copy = StampedCopy(seconds == 0 ? "stamp-zero" : "stamp-2001", seconds);
        REQUIRE(!copy.empty());
        std::string date;
        int year = 0;
        REQUIRE(ExpectedBuildDate(copy, date, year));
        CHECK(seconds == 0 ? (year == 1970 || year == 1969) : year == 2001);
        Autorun autorun;
        HWND dialog = StartWithAbout(autorun, copy);
        CHECK_EQ(ControlText(dialog, IDC_ABOUT_TEXT), std::string(AboutText) + " (" + date + ")");
        CHECK_EQ(ControlText(dialog, IDC_ABOUT_COPYRIGHT),
                 "\xA9 " + std::to_string(year) + " Velmora. All rights reserved.");
        EndDialogAndProgram(autorun, dialog);
    }
}

// The title line names the first menu of the language, not the one on screen.
WINE_TEST(title_is_the_first_menus_whichever_is_on_screen)
{
    Autorun autorun;
    REQUIRE(StartShown(autorun, Variant()));
    // The root menu's only hotspot switches to the second screen, whose
    // picture has the other colour.
    const std::uint32_t rootColour = CaptureClient(autorun.Window()).At(40, 40);
    PostMessageA(autorun.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    PostMessageA(autorun.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(autorun.Window(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    CHECK(WaitUntil([&] { return CaptureClient(autorun.Window()).At(40, 40) != rootColour; }));
    HWND dialog = OpenAbout(autorun);
    REQUIRE(dialog);
    CHECK_EQ(ControlText(dialog, IDC_ABOUT_TITLE), EnglishTitle);
    EndDialogAndProgram(autorun, dialog);
}

WINE_TEST(title_font_is_bold_and_deleted_with_the_dialog)
{
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant());
    const std::vector<std::string> fonts = Split(Ask(autorun, 2, "fonts"), '|');
    REQUIRE(fonts.size() == 3);
    const std::vector<std::string> title = Split(fonts[0], ',');
    const std::vector<std::string> line = Split(fonts[1], ',');
    const std::vector<std::string> own = Split(fonts[2], ',');
    REQUIRE(title.size() == 6 && line.size() == 6 && own.size() == 6);
    CHECK_EQ(title[0], std::string("700"));
    CHECK(line[0] != "700");  // the other lines keep the dialog's font
    CHECK_EQ(title[2], std::string("0"));
    CHECK_EQ(title[3], std::string("1"));  // DEFAULT_CHARSET
    CHECK_EQ(title[4], own[5]);            // the face the dialog's font is drawn with
    WindowDc screen(nullptr);
    CHECK_EQ(title[1], std::to_string(-MulDiv(8, GetDeviceCaps(screen.get(), LOGPIXELSY), 72)));

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    CHECK(DialogEnds(dialog));
    CHECK_EQ(Ask(autorun, 3, "titlefont"), "deleted");
    CHECK(autorun.Close());
}

// The dialog, its button and its lines stand on the window colour, not the
// dialog colour.
WINE_TEST(dialog_is_painted_in_the_window_colour)
{
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant());
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const std::uint32_t expected = GetRValue(window) << 16 | GetGValue(window) << 8 | GetBValue(window);
    REQUIRE(GetSysColor(COLOR_WINDOW) != GetSysColor(COLOR_BTNFACE));
    // A corner of the dialog, and the empty right end of the publisher line.
    RECT line = {};
    GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_PUBLISHER), &line);
    POINT end = {line.right - 2, line.top + 1};
    ScreenToClient(dialog, &end);
    CHECK(WaitUntil([&] {
        const Pixels pixels = CaptureClient(dialog);
        return pixels.width > end.x && pixels.At(2, 2) == expected && pixels.At(end.x, end.y) == expected;
    }));
    EndDialogAndProgram(autorun, dialog);
}

// ---- Ending the dialog --------------------------------------------------------

// Opens the dialog, ends it with `end`, and checks that the menu window is
// back: enabled, and able to open the dialog again.
void CheckDialogEndsBy(void (*end)(HWND dialog))
{
    Autorun autorun;
    HWND dialog = StartWithAbout(autorun, Variant());
    end(dialog);
    CHECK(DialogEnds(dialog));
    CHECK(WaitUntil([&] { return IsWindowEnabled(autorun.Window()) != FALSE; }));
    HWND again = OpenAbout(autorun);
    REQUIRE(again);
    PostMessageA(GetDlgItem(again, IDOK), BM_CLICK, 0, 0);
    CHECK(DialogEnds(again));
    CHECK(autorun.Close());
}

WINE_TEST(escape_ends_the_dialog)
{
    CheckDialogEndsBy([](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); });
}

WINE_TEST(enter_ends_the_dialog)
{
    CheckDialogEndsBy([](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_RETURN, 0); });
}

WINE_TEST(close_button_ends_the_dialog)
{
    CheckDialogEndsBy([](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

}  // namespace

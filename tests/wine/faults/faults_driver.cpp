// Faults that come from outside the two programs: the reader dies while
// docrunner waits, a pause holder crashes, the restart key cannot be
// written, the menu picture is damaged, the program lies at a path as long as
// the 260-character buffers or longer.
#include "tests/wine/docrunner/recorder.h"
#include "tests/wine/support/test_support.h"

#include <aclapi.h>

#include <string>
#include <vector>

namespace {

constexpr const char* MenuClass = "VelmoraAutorunClass";
constexpr const char* PauseMutex = "VelmoraAutorunPauseMutex";
constexpr const char* RunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* ShippedTitle = "Brenna Netquill 4412";

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

// The visible menu window of the process showing the English root picture.
HWND WaitForShownMenu(const ChildProcess& child, const Pixels& picture)
{
    HWND shown = nullptr;
    WaitUntil([&] {
        HWND window = FindProcessWindow(child.Id(), MenuClass);
        if (window && IsWindowVisible(window) && CaptureClient(window) == picture)
            shown = window;
        return shown != nullptr || !child.Running();
    });
    return shown;
}

const Pixels& EnglishPicture()
{
    static const Pixels picture = LoadBitmapPixels(SHIPPED_AUTORUN, "MENU-EN");
    return picture;
}

bool CloseAndExpectZero(ChildProcess& child, HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    return child.WaitForExit() && child.ExitCode() == 0;
}

// "\\?\" lets the wide file functions take paths beyond 260 characters
// (the ANSI ones convert through a buffer of that size).
std::wstring Extended(const std::string& path)
{
    const std::string full = "\\\\?\\" + path;
    std::wstring wide(full.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, full.data(), static_cast<int>(full.size()), &wide[0],
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

// A folder below `base` whose autorun.exe has a full path of exactly
// `length` characters; empty when it cannot be made.
std::string ProgramAtPathLength(const std::string& base, std::size_t length)
{
    const std::string file = "\\autorun.exe";
    if (base.size() + 1 + file.size() >= length)
        return std::string();
    std::string directory = base;
    std::size_t missing = length - file.size() - directory.size();
    while (missing > 0) {
        // Components of at most 100 characters, each behind a backslash.
        const std::size_t part = missing - 1 > 100 ? 100 : missing - 1;
        if (part == 0) {
            // A lone backslash would be an empty component: grow the last one.
            directory += 'x';
            --missing;
            continue;
        }
        directory += "\\" + std::string(part, 'd');
        missing -= part + 1;
        if (!CreateDirectoryW(Extended(directory).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
    const std::string program = directory + file;
    if (program.size() != length)
        return std::string();
    if (!CopyFileW(Extended(WindowsPath(SHIPPED_AUTORUN)).c_str(), Extended(program).c_str(), FALSE))
        return std::string();
    return program;
}

// Restores a key's access list when the case ends, however it ends.
class SavedKeySecurity {
public:
    explicit SavedKeySecurity(HKEY key) : key_(key)
    {
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        descriptor_.resize(size);
        saved_ = size > 0 && RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, descriptor_.data(), &size) ==
                                 ERROR_SUCCESS;
    }
    ~SavedKeySecurity()
    {
        if (saved_)
            RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, descriptor_.data());
    }
    SavedKeySecurity(const SavedKeySecurity&) = delete;
    SavedKeySecurity& operator=(const SavedKeySecurity&) = delete;
    bool Saved() const { return saved_; }

private:
    HKEY key_;
    std::vector<BYTE> descriptor_;
    bool saved_ = false;
};

// An access list that lets everyone read the key and nobody change it.
bool MakeReadOnly(HKEY key)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    EXPLICIT_ACCESSA access = {};
    access.grfAccessPermissions = KEY_READ;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    PACL list = nullptr;
    bool made = SetEntriesInAclA(1, &access, nullptr, &list) == ERROR_SUCCESS;
    if (made) {
        SECURITY_DESCRIPTOR descriptor;
        made = InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE) &&
               RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
        LocalFree(list);
    }
    FreeSid(everyone);
    return made;
}

bool RunOnceValueExists(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunOnceKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const UniqueRegKey owned(key);
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

// ---- docrunner ------------------------------------------------------------------

WINE_TEST(reader_killed_while_docrunner_waits)
{
    const std::string base = ScratchDirectory("faults_reader");
    const std::string records = base + "\\records";
    CreateDirectoryA(records.c_str(), nullptr);
    SetEnvironmentVariableA(RecordDirectoryVariable, records.c_str());
    REQUIRE(CopyFileTo(DOCRUNNER_EXE, base + "\\docrunner.exe"));
    REQUIRE(CopyFileTo(STAND_IN_EXE, base + "\\sumatrapdf.exe"));
    // No program is associated with this type, so the reader is started.
    REQUIRE(WriteWholeFile(base + "\\manual.velmoranone", "%PDF-1.4\n"));

    ChildProcess docrunner;
    REQUIRE(docrunner.Start(Quote(base + "\\docrunner.exe") + " manual.velmoranone", base));
    std::string record;
    REQUIRE(WaitUntil([&] { return ReadWholeFile(records + "\\sumatrapdf.txt", record); }));
    const std::string::size_type idLine = record.rfind('\n', record.size() - 2);
    REQUIRE(idLine != std::string::npos);
    const DWORD readerId = static_cast<DWORD>(std::stoul(record.substr(idLine + 1)));
    CHECK(docrunner.Running());

    // The reader dies with a failure code of its own; docrunner still ends
    // with 0 and writes nothing more.
    UniqueHandle reader(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, readerId));
    REQUIRE(reader);
    REQUIRE(TerminateProcess(reader.get(), 0xC0000005));
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
    CHECK_EQ(docrunner.Output(), AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: manual.velmoranone\n"));
}

// ---- Pause mutex -------------------------------------------------------------------

WINE_TEST(abandoned_pause_mutex_lets_the_menu_show)
{
    const std::string copy = ScratchDirectory("faults_pause") + "\\autorun.exe";
    REQUIRE(CopyFileTo(SHIPPED_AUTORUN, copy));
    ChildProcess holder;
    REQUIRE(holder.Start(Quote(WindowsPath(MUTEX_HOLDER_EXE))));
    REQUIRE(WaitUntil([&] { return holder.Output().find("holding") != std::string::npos; }));

    ChildProcess menu;
    REQUIRE(menu.Start(Quote(copy)));
    HWND window = WaitForProcessWindow(menu.Id(), MenuClass);
    REQUIRE(window);
    CHECK(!IsWindowVisible(window));

    // Ended from outside, the holder never releases the mutex: it is left
    // abandoned, and with its last handle gone it no longer exists.
    holder.Kill();
    CHECK(WaitUntil([] {
        UniqueHandle probe(OpenMutexA(SYNCHRONIZE, FALSE, PauseMutex));
        return !probe;
    }));
    CHECK(WaitForShownMenu(menu, EnglishPicture()) == window);
    CHECK(CloseAndExpectZero(menu, window));
}

// ---- Restart registration ------------------------------------------------------------

WINE_TEST(run_once_key_not_writable)
{
    HKEY opened = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, RunOnceKey, 0, nullptr, 0, READ_CONTROL | WRITE_DAC | KEY_SET_VALUE,
                            nullptr, &opened, nullptr) == ERROR_SUCCESS);
    const UniqueRegKey key(opened);
    RegDeleteValueA(key.get(), ShippedTitle);
    const SavedKeySecurity saved(key.get());
    REQUIRE(saved.Saved());
    REQUIRE(MakeReadOnly(key.get()));
    {
        // The platform must really refuse, or this case proves nothing.
        HKEY probe = nullptr;
        const LONG refused = RegOpenKeyExA(HKEY_CURRENT_USER, RunOnceKey, 0, KEY_SET_VALUE, &probe);
        if (probe)
            RegCloseKey(probe);
        REQUIRE(refused == ERROR_ACCESS_DENIED);
    }

    const std::string copy = ScratchDirectory("faults_runonce") + "\\autorun.exe";
    REQUIRE(CopyFileTo(SHIPPED_AUTORUN, copy));
    ChildProcess menu;
    REQUIRE(menu.Start(Quote(copy)));
    HWND window = WaitForShownMenu(menu, EnglishPicture());
    REQUIRE(window);

    DWORD_PTR answer = 0;
    CHECK(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    CHECK(answer != 0);  // the logoff may go on
    CHECK(SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    CHECK(!RunOnceValueExists(ShippedTitle));
    // No message box or other window came up, and nothing was written.
    const std::vector<HWND> windows = ProcessWindows(menu.Id());
    for (HWND other : windows) {
        if (other != window && IsWindowVisible(other))
            ReportFailure(__FILE__, __LINE__, "a window of class " + ClassNameOf(other) + " appeared");
    }
    CHECK_EQ(menu.Output(), std::string());
    CHECK(CloseAndExpectZero(menu, window));
}

// ---- Damaged menu pictures ---------------------------------------------------------------

WINE_TEST(menu_bitmap_that_is_text)
{
    // The English picture cannot load: the menu is reported and left out,
    // the English retry meets the same, and the program ends without a window.
    const RunResult run = RunCaptured(Quote(WindowsPath(BAD_BITMAPS_AUTORUN)));
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    const std::string once = "error: can't load menu bitmap \"menu-en\" from resources\n";
    CHECK_EQ(run.output, AsWritten(once + once + "error: no menus found\n"));
}

WINE_TEST(menu_bitmap_with_missing_pixels)
{
    // A header that promises more pixels than follow it: the platform's
    // loader either refuses it, and the menu is reported like any picture
    // that does not load, or takes it, and the menu opens. Either way the
    // program keeps running normally and ends with 0.
    ChildProcess menu;
    REQUIRE(menu.Start(Quote(WindowsPath(BAD_BITMAPS_AUTORUN)) + " -lang:de"));
    HWND window = nullptr;
    WaitUntil([&] {
        window = FindProcessWindow(menu.Id(), MenuClass);
        return (window && IsWindowVisible(window)) || !menu.Running();
    });
    if (window) {
        std::printf("the short picture was loaded\n");
        RECT client = {};
        GetClientRect(window, &client);
        CHECK_EQ(client.right, 600L);
        CHECK_EQ(client.bottom, 450L);
        CHECK(CloseAndExpectZero(menu, window));
        CHECK_EQ(menu.Output(), std::string());
    } else {
        std::printf("the short picture was refused\n");
        CHECK(menu.WaitForExit());
        CHECK_EQ(menu.ExitCode(), DWORD{0});
        const std::string once = "error: can't load menu bitmap \"menu-de\" from resources\n";
        const std::string english = "error: can't load menu bitmap \"menu-en\" from resources\n";
        CHECK_EQ(menu.Output(), AsWritten(once + english + "error: no menus found\n"));
    }
}

// ---- Long program paths ----------------------------------------------------------------------

// The longest path that fits the 260-character buffers with its NUL: the
// program runs as usual and a second start at that path raises the first.
WINE_TEST(program_path_of_259_characters)
{
    const std::string program = ProgramAtPathLength(ScratchDirectory("faults_path259"), 259);
    REQUIRE(!program.empty());
    ChildProcess first;
    REQUIRE(first.Start(Quote(program), DirectoryOf(program)));
    HWND window = WaitForShownMenu(first, EnglishPicture());
    REQUIRE(window);
    CHECK_EQ(WindowText(window), std::string(ShippedTitle));

    const RunResult second = RunCaptured(Quote(program), DirectoryOf(program));
    CHECK(second.ended);
    CHECK_EQ(second.exitCode, DWORD{0});
    CHECK_EQ(second.output, std::string());
    CHECK(first.Running());
    CHECK_EQ(ProcessWindows(first.Id()).empty(), false);
    CHECK(CloseAndExpectZero(first, window));
    CHECK_EQ(first.Output(), std::string());
}

// Beyond the buffers the program's own path reaches it cut short. Nothing
// may overflow: each start either opens its menu or ends, always with 0, and
// a second start never brings a crash or a message.
WINE_TEST(program_path_longer_than_260_characters)
{
    const std::string program = ProgramAtPathLength(ScratchDirectory("faults_path300"), 300);
    REQUIRE(!program.empty());
    ChildProcess first;
    if (!first.Start(Quote(program), DirectoryOf(program))) {
        // The ANSI start refuses such a path; the shell starts programs with
        // the wide one, so try that before calling the platform safe.
        std::wstring commandLine = L"\"" + Extended(program).substr(4) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &started)) {
            std::printf("the platform does not start a program at %zu characters (error %lu)\n", program.size(),
                        GetLastError());
            return;
        }
        const UniqueHandle process(started.hProcess);
        const UniqueHandle thread(started.hThread);
        HWND window = nullptr;
        WaitUntil([&] {
            window = FindProcessWindow(started.dwProcessId, MenuClass);
            return (window && IsWindowVisible(window)) || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        });
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        CHECK(WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.get(), &code);
        CHECK_EQ(code, DWORD{0});
        std::printf("wide start: %s\n", window ? "menu opened" : "ended without a window");
        return;
    }
    HWND window = nullptr;
    WaitUntil([&] {
        window = FindProcessWindow(first.Id(), MenuClass);
        return (window && IsWindowVisible(window)) || !first.Running();
    });
    if (!window) {
        CHECK(first.WaitForExit());
        CHECK_EQ(first.ExitCode(), DWORD{0});
        std::printf("first start ended: %s\n", Quote(first.Output()).c_str());
        return;
    }
    CHECK(CaptureClient(window) == EnglishPicture() || WaitForShownMenu(first, EnglishPicture()) == window);

    ChildProcess second;
    REQUIRE(second.Start(Quote(program), DirectoryOf(program)));
    HWND secondWindow = nullptr;
    WaitUntil([&] {
        secondWindow = FindProcessWindow(second.Id(), MenuClass);
        return (secondWindow && IsWindowVisible(secondWindow)) || !second.Running();
    });
    if (secondWindow) {
        std::printf("second start opened a menu of its own\n");
        CHECK(CloseAndExpectZero(second, secondWindow));
    } else {
        std::printf("second start ended: single instance held\n");
        CHECK(second.WaitForExit());
        CHECK_EQ(second.ExitCode(), DWORD{0});
    }
    CHECK_EQ(second.Output(), std::string());
    CHECK(first.Running());
    CHECK(CloseAndExpectZero(first, window));
    CHECK_EQ(first.Output(), std::string());
}

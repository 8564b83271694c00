// Faults that come from outside the two programs: the reader dies while
// docrunner waits, a pause holder crashes, the restart key cannot be
// written, the menu picture is damaged, the program lies at a path as long as
// the 260-character buffers or longer.
#include "tests/wine/support/autorun_fixture.h"
#include "tests/wine/support/input.h"
#include "tests/wine/support/registry.h"
#include "tests/wine/support/stand_ins.h"

#include <aclapi.h>

#include <string>
#include <vector>

namespace {

std::string Quote(const std::string& path)
{
    return "\"" + path + "\"";
}

const Pixels& EnglishPicture()
{
    static const Pixels picture = LoadBitmapPixels(SHIPPED_AUTORUN, ShippedEnglishMenu);
    return picture;
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
        saved_ =
            size > 0 && RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, descriptor_.data(), &size) == ERROR_SUCCESS;
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

}  // namespace

// ---- docrunner ------------------------------------------------------------------

WINE_TEST(reader_killed_while_docrunner_waits)
{
    const std::string base = ScratchDirectory("faults_reader");
    StandIns standIns(base + "\\records");
    REQUIRE(CopyFileTo(DOCRUNNER_EXE, base + "\\docrunner.exe"));
    REQUIRE(standIns.Place(base + "\\sumatrapdf.exe"));
    // No program is associated with this type, so the reader is started.
    REQUIRE(WriteWholeFile(base + "\\manual.velmoranone", "%PDF-1.4\n"));

    ChildProcess docrunner;
    REQUIRE(docrunner.Start(Quote(base + "\\docrunner.exe") + " manual.velmoranone", base));
    StandInRecord record;
    REQUIRE(standIns.WaitForRecord("sumatrapdf", record));
    const DWORD readerId = record.processId;
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
    ChildProcess holder;
    REQUIRE(holder.Start(Quote(WindowsPath(MUTEX_HOLDER_EXE))));
    REQUIRE(WaitUntil([&] { return holder.Output().find("holding") != std::string::npos; }));
    // A second process, this driver, keeps a handle while the owner dies.
    UniqueHandle kept(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, PauseMutexName));
    REQUIRE(kept);

    Autorun menu;
    REQUIRE(menu.StartCopy(SHIPPED_AUTORUN, "faults_pause") && menu.WaitForWindow());
    HWND window = menu.Window();
    CHECK(!IsWindowVisible(window));

    // Ended from outside, the holder never releases the mutex: it is left
    // abandoned, and it still exists. The launcher asks only whether the
    // mutex exists, never who owns it: the menu stays hidden.
    holder.Kill();
    CHECK(StaysTrue([&] { return !IsWindowVisible(window); }));
    // It really was abandoned: the first wait for it says so, and takes it.
    CHECK_EQ(WaitForSingleObject(kept.get(), 0), DWORD{WAIT_ABANDONED});
    CHECK(ReleaseMutex(kept.get()));
    CHECK(StaysTrue([&] { return !IsWindowVisible(window); }));

    // With its last handle gone the mutex no longer exists, and the menu
    // shows at the next pause tick, as it was.
    kept.reset();
    CHECK(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 2000));
    CHECK(menu.Shows(EnglishPicture()));
    CHECK(menu.Close());
}

// ---- Restart registration ------------------------------------------------------------

WINE_TEST(run_once_key_not_writable)
{
    HKEY opened = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, RunOnceKey, 0, nullptr, 0, READ_CONTROL | WRITE_DAC | KEY_SET_VALUE,
                            nullptr, &opened, nullptr) == ERROR_SUCCESS);
    const UniqueRegKey key(opened);
    const SavedRegistryValue value(HKEY_CURRENT_USER, RunOnceKey, ShippedTitle);
    value.Delete();
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

    Autorun menu;
    REQUIRE(menu.StartCopy(SHIPPED_AUTORUN, "faults_runonce") && menu.WaitUntilShown());
    HWND window = menu.Window();
    CHECK(menu.Shows(EnglishPicture()));

    DWORD_PTR answer = 0;
    CHECK(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    CHECK(answer != 0);  // the logoff may go on
    CHECK(SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    CHECK(!value.Read().present);
    // No message box or other window came up, and nothing was written.
    for (HWND other : ProcessWindows(menu.Id())) {
        if (other != window && IsWindowVisible(other))
            ReportFailure(__FILE__, __LINE__, "a window of class " + ClassNameOf(other) + " appeared");
    }
    CHECK_EQ(menu.Output(), std::string());
    CHECK(menu.Close());
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
    // A 600 x 450 header followed by its two bottom rows only: the
    // platform's loader takes the header but none of the short pixel data,
    // and the menu opens at the header's size, all black: nothing of what
    // lies beyond the picture's bytes reaches the screen, nothing is reported.
    Autorun menu;
    REQUIRE(menu.Start(BAD_BITMAPS_AUTORUN, "-lang:de"));
    HWND window = menu.WaitUntilShown();
    REQUIRE(window);
    RECT client = {};
    GetClientRect(window, &client);
    CHECK_EQ(client.right, 600L);
    CHECK_EQ(client.bottom, 450L);
    Pixels black;
    black.width = 600;
    black.height = 450;
    black.data.assign(600 * 450, 0);
    CHECK(menu.Shows(black));
    CHECK(menu.Close());
    CHECK_EQ(menu.Output(), std::string());
}

// ---- Long program paths ----------------------------------------------------------------------

// The longest path that fits the 260-character buffers with its NUL: the
// program runs as usual and a second start at that path raises the first.
WINE_TEST(program_path_of_259_characters)
{
    const std::string program = ProgramAtPathLength(ScratchDirectory("faults_path259"), 259);
    REQUIRE(!program.empty());
    Autorun first;
    REQUIRE(first.Start(program, "", DirectoryOf(program)) && first.WaitUntilShown());
    CHECK(first.Shows(EnglishPicture()));
    CHECK_EQ(WindowText(first.Window()), std::string(ShippedTitle));

    const RunResult second = RunCaptured(Quote(program), DirectoryOf(program));
    CHECK(second.ended);
    CHECK_EQ(second.exitCode, DWORD{0});
    CHECK_EQ(second.output, std::string());
    CHECK(first.Process().Running());
    CHECK_EQ(ProcessWindows(first.Id()).empty(), false);
    CHECK(first.Close());
    CHECK_EQ(first.Output(), std::string());
}

// Beyond the buffers the program's own path would reach it cut short. Where
// the platform starts no program at such a path, neither through the ANSI
// start nor through the wide one the shell uses, nothing may run from it.
// Where it does, nothing may overflow: each start either opens its menu or
// ends, always with 0, and a second start never brings a crash or a message.
WINE_TEST(program_path_longer_than_260_characters)
{
    const std::string program = ProgramAtPathLength(ScratchDirectory("faults_path300"), 300);
    REQUIRE(!program.empty());
    Autorun first;
    if (!first.Start(program, "", DirectoryOf(program))) {
        std::wstring commandLine = L"\"" + Extended(program).substr(4) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        const BOOL wide =
            CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started);
        const DWORD error = GetLastError();
        if (wide) {
            CloseHandle(started.hThread);
            const UniqueHandle process(started.hProcess);
            HWND window = nullptr;
            WaitUntil([&] {
                window = FindProcessWindow(started.dwProcessId, MenuWindowClassName);
                return (window && IsWindowVisible(window)) || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
            });
            if (window)
                PostMessageA(window, WM_CLOSE, 0, 0);
            CHECK(WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0);
            DWORD code = 1;
            GetExitCodeProcess(process.get(), &code);
            CHECK_EQ(code, DWORD{0});
            return;
        }
        CHECK(error != ERROR_SUCCESS);
        std::printf("the platform starts no program at %zu characters (error %lu)\n", program.size(), error);
        // No process has the file mapped: it opens for exclusive use.
        const UniqueHandle unused(
            CreateFileW(Extended(program).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        CHECK(unused);
        return;
    }
    HWND window = first.WaitUntilShown();
    if (!window) {
        CHECK(first.EndsByItself());
        std::printf("first start ended: %s\n", Quoted(first.Output()).c_str());
        return;
    }
    CHECK(first.Shows(EnglishPicture()));

    Autorun second;
    REQUIRE(second.Start(program, "", DirectoryOf(program)));
    if (second.WaitUntilShown())
        CHECK(second.Close());
    else
        CHECK(second.EndsByItself());
    CHECK_EQ(second.Output(), std::string());
    CHECK(first.Process().Running());
    CHECK(first.Close());
    CHECK_EQ(first.Output(), std::string());
}

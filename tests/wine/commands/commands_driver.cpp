// The hotspot commands of a running autorun.exe, steered through its window
// messages: starts through the shell, screen switches and the history, the
// error box and the open-with chooser, and the click sound's registry value.
//
// Every case runs its own copy of the test build in a fresh folder, started
// from another folder, so the launcher's directory and the driver's working
// directory never coincide. Clicks are sent (not posted) wherever the command
// cannot block: SendMessageA returns once the window procedure has carried the
// command out, so its sound record and the process it started already exist.
#include "tests/wine/support/test_support.h"

#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

// How a failed check shows a list of texts.
static std::string Describe(const std::vector<std::string>& texts)
{
    std::string out = "{";
    for (const std::string& text : texts)
        out += (out.size() > 1 ? ", " : "") + Quoted(text);
    return out + "}";
}

namespace {

const char* const MenuClass = "VelmoraAutorunClass";
const char* const SoundKey = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.current";

// Centres of the test screens' hotspots (cells of 40 x 30 pixels).
const POINT MainRecorder = {20, 15};
const POINT MainShowSecond = {60, 15};
const POINT MainShowMissing = {100, 15};
const POINT MainMissingTarget = {20, 45};
const POINT MainUnassociated = {60, 45};
const POINT MainClose = {100, 45};
const POINT SecondBack = {20, 15};
const POINT SecondShowSecond = {60, 15};

const char* const UnassociatedFile = "unassociated.velmoraunknown";

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string HandleText(HWND window)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x",
                  static_cast<unsigned>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window))));
    return text;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type from = 0;
    for (;;) {
        const auto end = text.find("\r\n", from);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

// One run of the recorder: what it was started with.
struct Record {
    std::string commandLine;
    std::string directory;
    std::vector<std::string> args;
    std::vector<std::string> windows;  // class names of the handles among args
    DWORD processId = 0;
};

std::vector<Record> ReadRecords(const std::string& path)
{
    std::vector<Record> records;
    std::string text;
    if (!ReadWholeFile(path, text))
        return records;
    Record current;
    for (const std::string& line : Lines(text)) {
        auto value = [&](const char* key) { return line.substr(std::strlen(key)); };
        if (line.rfind("commandline=", 0) == 0)
            current.commandLine = value("commandline=");
        else if (line.rfind("directory=", 0) == 0)
            current.directory = value("directory=");
        else if (line.rfind("arg=", 0) == 0)
            current.args.push_back(value("arg="));
        else if (line.rfind("window=", 0) == 0)
            current.windows.push_back(value("window="));
        else if (line.rfind("pid=", 0) == 0)
            current.processId = static_cast<DWORD>(std::strtoul(value("pid=").c_str(), nullptr, 10));
        else if (line == "end") {
            records.push_back(current);
            current = Record();
        }
    }
    return records;
}

// The user's "Navigating" sound setting, written the way a sound scheme
// editor would, with full control over type and bytes.
bool SetSoundValue(DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SoundKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const UniqueRegKey owner(key);
    return RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}
bool SetSoundText(const std::string& text)
{
    return SetSoundValue(REG_SZ, std::string(text.c_str(), text.size() + 1));
}
void DeleteSoundValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SoundKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "");
        RegCloseKey(key);
    }
}
void DeleteSoundKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SoundKey);
}

// A program started under this driver as its debugger, which also follows
// every process that program starts: each new process is reported, and its
// command line read, before it runs its first instruction. So a program that
// the launcher starts through the shell is seen however briefly it lives and
// wherever the system finds it.
class DebuggedProcess {
public:
    DebuggedProcess(const std::string& commandLine, const std::string& directory)
        : commandLine_(commandLine), directory_(directory)
    {
        InitializeCriticalSection(&lock_);
        started_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        if (thread_)
            WaitForSingleObject(started_.get(), 10000);
    }
    DebuggedProcess(const DebuggedProcess&) = delete;
    DebuggedProcess& operator=(const DebuggedProcess&) = delete;
    ~DebuggedProcess()
    {
        if (process_)
            TerminateProcess(process_.get(), 1);
        if (thread_)
            WaitForSingleObject(thread_.get(), 10000);
        DeleteCriticalSection(&lock_);
    }

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    // The command lines of the started program and of everything it started.
    std::vector<std::string> CommandLines()
    {
        EnterCriticalSection(&lock_);
        std::vector<std::string> copy = commandLines_;
        LeaveCriticalSection(&lock_);
        return copy;
    }

private:
    static std::string CommandLineOf(HANDLE process)
    {
        PROCESS_BASIC_INFORMATION basic = {};
        ULONG got = 0;
        if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &got) != 0)
            return std::string();
        PEB peb = {};
        RTL_USER_PROCESS_PARAMETERS parameters = {};
        SIZE_T read = 0;
        if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, &read) ||
            !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &read))
            return std::string();
        std::wstring wide(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
        if (wide.empty() || !ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0],
                                               parameters.CommandLine.Length, &read))
            return std::string();
        const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                             nullptr, nullptr);
        std::string text(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
        return text;
    }

    // Debug events may only be waited for by the thread that started the
    // program, so this thread does both.
    static DWORD WINAPI Run(void* self)
    {
        auto* me = static_cast<DebuggedProcess*>(self);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        std::vector<char> line(me->commandLine_.begin(), me->commandLine_.end());
        line.push_back('\0');
        const BOOL created = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DEBUG_PROCESS, nullptr,
                                            me->directory_.c_str(), &startup, &info);
        if (created) {
            CloseHandle(info.hThread);
            me->process_.reset(info.hProcess);
            me->id_ = info.dwProcessId;
        }
        SetEvent(me->started_.get());
        if (!created)
            return 0;
        int running = 0;
        for (;;) {
            DEBUG_EVENT event = {};
            if (!WaitForDebugEvent(&event, INFINITE))
                return 0;
            DWORD status = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT: {
                ++running;
                const std::string text = CommandLineOf(event.u.CreateProcessInfo.hProcess);
                EnterCriticalSection(&me->lock_);
                me->commandLines_.push_back(text);
                LeaveCriticalSection(&me->lock_);
                if (event.u.CreateProcessInfo.hFile)
                    CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            }
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile)
                    CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                // Only the initial breakpoint is ours; every other exception
                // goes back to the program as if no debugger were there.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                --running;
                break;
            }
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT && running == 0)
                return 0;
        }
    }

    std::string commandLine_;
    std::string directory_;
    CRITICAL_SECTION lock_;
    UniqueHandle started_;
    UniqueHandle thread_;
    UniqueHandle process_;
    DWORD id_ = 0;
    std::vector<std::string> commandLines_;
};

// A copy of the test build in a folder of its own, with the recorder beside
// it, started from another folder and shown.
class Launcher {
public:
    // `debugged`: started under a DebuggedProcess, which sees every program
    // that the launcher starts.
    explicit Launcher(const std::string& name, bool debugged = false)
    {
        // Keep the real pointer off the window: only the driver's clicks count.
        SetCursorPos(0, 0);
        directory_ = ScratchDirectory("commands-" + name);
        const std::string elsewhere = ScratchDirectory("commands-" + name + "-elsewhere");
        const std::string programs = WindowsPath(COMMANDS_PROGRAMS_DIR);
        copied_ = CopyFileTo(programs + "\\autorun.exe", directory_ + "\\autorun.exe") &&
                  CopyFileTo(programs + "\\recorder.exe", directory_ + "\\recorder.exe") &&
                  WriteWholeFile(directory_ + "\\" + UnassociatedFile, "no program opens this\r\n");
        recorderLog_ = elsewhere + "\\recorder.log";
        soundLog_ = elsewhere + "\\sound.log";
        SetEnvironmentVariableA("VELMORA_RECORDER_LOG", recorderLog_.c_str());
        SetEnvironmentVariableA("VELMORA_SOUND_LOG", soundLog_.c_str());
        if (!copied_)
            return;
        const std::string commandLine = "\"" + directory_ + "\\autorun.exe\"";
        if (debugged) {
            debugged_.reset(new DebuggedProcess(commandLine, elsewhere));
            if (debugged_->Id() == 0)
                return;
        } else if (!process_.Start(commandLine, elsewhere)) {
            return;
        }
        window_ = WaitForProcessWindow(Id(), MenuClass);
        if (window_ != nullptr && !WaitUntil([&] { return IsWindowVisible(window_) != FALSE; }))
            window_ = nullptr;
    }

    bool Ready() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    ChildProcess& Process() { return process_; }
    DWORD Id() const { return debugged_ ? debugged_->Id() : process_.Id(); }
    DebuggedProcess* Debugged() { return debugged_.get(); }
    const std::string& Directory() const { return directory_; }
    std::string ProgramPath() const { return directory_ + "\\autorun.exe"; }

    void Click(POINT at) const
    {
        const LPARAM point = MAKELPARAM(at.x, at.y);
        SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(window_, WM_LBUTTONUP, 0, point);
    }
    // For commands that open a modal box and so would hold a sent message.
    void PostClick(POINT at) const
    {
        const LPARAM point = MAKELPARAM(at.x, at.y);
        PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(window_, WM_LBUTTONUP, 0, point);
    }
    void Type(char character) const { SendMessageA(window_, WM_CHAR, static_cast<unsigned char>(character), 0); }

    std::vector<Record> Records() const { return ReadRecords(recorderLog_); }
    bool WaitForRecords(size_t count) const
    {
        return WaitUntil([&] { return Records().size() >= count; });
    }
    std::vector<std::string> Sounds() const
    {
        std::vector<std::string> sounds;
        std::string text;
        if (ReadWholeFile(soundLog_, text)) {
            for (const std::string& line : Lines(text))
                sounds.push_back(line.size() >= 2 ? line.substr(1, line.size() - 2) : line);
        }
        return sounds;
    }

    // The window's pixels once a paint has caught up with every request.
    bool Shows(const Pixels& expected) const
    {
        return WaitUntil([&] {
            UpdateWindow(window_);
            return CaptureClient(window_) == expected;
        });
    }
    Pixels Bitmap(const char* name) const { return LoadBitmapPixels(ProgramPath(), name); }

private:
    std::string directory_;
    std::string recorderLog_;
    std::string soundLog_;
    bool copied_ = false;
    ChildProcess process_;
    std::unique_ptr<DebuggedProcess> debugged_;
    HWND window_ = nullptr;
};

// The visible windows of the process that the menu window owns.
std::vector<HWND> OwnedWindows(DWORD processId, HWND owner)
{
    std::vector<HWND> owned;
    for (HWND window : ProcessWindows(processId)) {
        if (GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window))
            owned.push_back(window);
    }
    return owned;
}

// A named CALLBACK function: a lambda converts only to a pointer of the
// default calling convention, which is not CALLBACK on i686.
BOOL CALLBACK CollectChildText(HWND child, LPARAM data)
{
    const std::string text = WindowText(child);
    if (!text.empty())
        reinterpret_cast<std::vector<std::string>*>(data)->push_back(text);
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND window)
{
    std::vector<std::string> texts;
    EnumChildWindows(window, CollectChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string SystemText(DWORD error)
{
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    const UniqueLocalMemory owner(text);
    return length != 0 && text != nullptr ? std::string(text, length) : std::string();
}

std::string TrimmedEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

}  // namespace

WINE_TEST(click_starts_the_target_with_placeholders_expanded)
{
    REQUIRE(SetSoundText("click.wav"));
    Launcher launcher("click");
    REQUIRE(launcher.Ready());

    launcher.Click(MainRecorder);
    REQUIRE(launcher.WaitForRecords(1));
    const Record record = launcher.Records()[0];
    CHECK(SameText(record.directory, launcher.Directory()));
    REQUIRE(record.args.size() == 4u);
    // The handle reads back as the menu window; %root% is the launcher's
    // directory, without a trailing backslash; the upper-case form is not a
    // placeholder.
    CHECK_EQ(record.args[0], HandleText(launcher.Window()));
    CHECK_EQ(record.windows, std::vector<std::string>{MenuClass});
    CHECK(SameText(record.args[1], launcher.Directory()));
    CHECK_EQ(record.args[2], std::string("%HWND%"));
    CHECK(SameText(record.args[3], launcher.Directory() + "\\doc.pdf"));
    // One sound, played before the start.
    CHECK_EQ(launcher.Sounds(), std::vector<std::string>{"click.wav"});
    CHECK(IsWindow(launcher.Window()));
}

WINE_TEST(enter_and_space_start_the_focused_hotspot)
{
    REQUIRE(SetSoundText("key.wav"));
    Launcher launcher("keys");
    REQUIRE(launcher.Ready());

    // Without a focused hotspot Enter and Space do nothing; a start would
    // have played its sound before SendMessageA returned.
    launcher.Type('\r');
    launcher.Type(' ');
    CHECK(launcher.Sounds().empty());

    launcher.Type('\t');  // the first hotspot that is not a close box
    launcher.Type('\r');
    REQUIRE(launcher.WaitForRecords(1));
    launcher.Type(' ');
    REQUIRE(launcher.WaitForRecords(2));
    const std::vector<Record> records = launcher.Records();
    CHECK_EQ(records.size(), size_t{2});
    for (const Record& record : records) {
        CHECK(SameText(record.directory, launcher.Directory()));
        REQUIRE(!record.args.empty());
        CHECK_EQ(record.args[0], HandleText(launcher.Window()));
    }
    CHECK_EQ(launcher.Sounds().size(), size_t{2});
}

WINE_TEST(showmenu_and_back_switch_the_picture)
{
    REQUIRE(SetSoundText("nav.wav"));
    Launcher launcher("switch");
    REQUIRE(launcher.Ready());
    const HWND window = launcher.Window();
    const Pixels first = launcher.Bitmap("CMD-MAIN");
    const Pixels second = launcher.Bitmap("CMD-SECOND");
    REQUIRE(first.width == 120 && first.height == 60);
    REQUIRE(!(first == second));
    CHECK(launcher.Shows(first));
    RECT frame = {};
    GetWindowRect(window, &frame);
    const std::string caption = WindowText(window);
    CHECK_EQ(caption, std::string("Velmora Command Test"));

    launcher.Click(MainShowSecond);
    CHECK(launcher.Shows(second));
    // Size and caption stay those of the root menu.
    RECT after = {};
    GetWindowRect(window, &after);
    CHECK_EQ(after.right - after.left, frame.right - frame.left);
    CHECK_EQ(after.bottom - after.top, frame.bottom - frame.top);
    CHECK_EQ(WindowText(window), caption);

    launcher.Click(SecondBack);
    CHECK(launcher.Shows(first));

    // Backspace goes back like the hotspot.
    launcher.Click(MainShowSecond);
    CHECK(launcher.Shows(second));
    launcher.Type('\b');
    CHECK(launcher.Shows(first));

    // Showing the screen already shown pushes it once more: the first "back"
    // stays on it, the second returns.
    launcher.Click(MainShowSecond);
    launcher.Click(SecondShowSecond);
    launcher.Type('\b');
    CHECK(launcher.Shows(second));
    launcher.Type('\b');
    CHECK(launcher.Shows(first));
    // The history is empty again: one more Backspace neither switches nor sounds.
    launcher.Type('\b');
    CHECK(launcher.Shows(first));

    // Every switch played the sound, once.
    CHECK_EQ(launcher.Sounds().size(), size_t{8});
    CHECK_EQ(WindowText(window), caption);
}

WINE_TEST(missing_menu_and_empty_history_change_nothing)
{
    REQUIRE(SetSoundText("nav.wav"));
    Launcher launcher("nothing");
    REQUIRE(launcher.Ready());
    const Pixels first = launcher.Bitmap("CMD-MAIN");
    const Pixels second = launcher.Bitmap("CMD-SECOND");
    CHECK(launcher.Shows(first));

    launcher.Click(MainShowMissing);
    launcher.Type('\b');  // nothing was pushed, so there is nothing to return to
    CHECK(launcher.Sounds().empty());
    UpdateWindow(launcher.Window());
    CHECK(CaptureClient(launcher.Window()) == first);

    // Still usable: a switch that exists works and is undone exactly once.
    launcher.Click(MainShowSecond);
    CHECK(launcher.Shows(second));
    launcher.Type('\b');
    launcher.Type('\b');
    CHECK(launcher.Shows(first));
    CHECK_EQ(launcher.Sounds().size(), size_t{2});
}

WINE_TEST(missing_target_shows_the_system_error_over_the_menu)
{
    REQUIRE(SetSoundText("error.wav"));
    Launcher launcher("error");
    REQUIRE(launcher.Ready());
    const HWND window = launcher.Window();

    launcher.PostClick(MainMissingTarget);
    std::vector<HWND> boxes;
    REQUIRE(WaitUntil([&] { return !(boxes = OwnedWindows(launcher.Id(), window)).empty(); }));
    REQUIRE(boxes.size() == 1u);
    const HWND box = boxes[0];
    CHECK_EQ(ClassNameOf(box), std::string("#32770"));
    // The box carries the system's own text for a file that is not there.
    const std::string expected = TrimmedEnd(SystemText(ERROR_FILE_NOT_FOUND));
    REQUIRE(!expected.empty());
    bool found = false;
    for (const std::string& text : ChildTexts(box))
        found = found || TrimmedEnd(text) == expected;
    CHECK(found);
    if (!found) {
        for (const std::string& text : ChildTexts(box))
            std::printf("    box text: %s\n", Quoted(text).c_str());
    }

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    CHECK(WaitUntil([&] { return !IsWindow(box); }));

    // The menu stays open and answers the next click.
    REQUIRE(IsWindow(window));
    CHECK(launcher.Process().Running());
    launcher.Click(MainRecorder);
    CHECK(launcher.WaitForRecords(1));
    CHECK_EQ(launcher.Sounds().size(), size_t{2});
}

WINE_TEST(unassociated_target_opens_the_chooser)
{
    REQUIRE(SetSoundText("chooser.wav"));
    Launcher launcher("chooser", true);
    REQUIRE(launcher.Ready());

    launcher.Click(MainUnassociated);
    // The system's rundll32 with the open-with entry point and the target as
    // the hotspot names it: relative and unquoted.
    const std::string tail = std::string(" shell32.dll,OpenAs_RunDLL ") + UnassociatedFile;
    auto isChooser = [&](const std::string& line) {
        if (line.size() <= tail.size() || line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
            return false;
        std::string program = line.substr(0, line.size() - tail.size());
        CharLowerBuffA(&program[0], static_cast<DWORD>(program.size()));
        return program.find("rundll32.exe") != std::string::npos;
    };
    std::vector<std::string> started;
    const bool seen = WaitUntil([&] {
        started = launcher.Debugged()->CommandLines();
        for (const std::string& line : started)
            if (isChooser(line))
                return true;
        return false;
    });
    CHECK(seen);
    if (!seen || started.size() != 2) {
        for (const std::string& line : started)
            std::printf("    started: %s\n", Quoted(line).c_str());
    }
    // The launcher itself and the chooser; nothing else, and no error box.
    CHECK_EQ(started.size(), size_t{2});
    CHECK(OwnedWindows(launcher.Id(), launcher.Window()).empty());
    CHECK(IsWindow(launcher.Window()));
    CHECK(launcher.Records().empty());
}

WINE_TEST(close_ends_the_launcher_without_sound)
{
    REQUIRE(SetSoundText("close.wav"));
    Launcher launcher("close");
    REQUIRE(launcher.Ready());

    launcher.PostClick(MainClose);
    CHECK(launcher.Process().WaitForExit());
    CHECK_EQ(launcher.Process().ExitCode(), DWORD{0});
    CHECK(launcher.Sounds().empty());
}

WINE_TEST(sound_value_is_read_at_every_click)
{
    REQUIRE(SetSoundText("start.wav"));
    Launcher launcher("sound");
    REQUIRE(launcher.Ready());
    bool onSecond = false;
    // A switch in either direction: each one asks for the sound once.
    auto toggle = [&] {
        launcher.Click(onSecond ? SecondBack : MainShowSecond);
        onSecond = !onSecond;
    };
    auto last = [&] {
        const std::vector<std::string> sounds = launcher.Sounds();
        return sounds.empty() ? std::string("(none)") : sounds.back();
    };

    toggle();
    CHECK_EQ(last(), std::string("start.wav"));

    // A change takes effect at the next click.
    REQUIRE(SetSoundText("changed.wav"));
    toggle();
    CHECK_EQ(last(), std::string("changed.wav"));

    // Longer than the first 1024-byte buffer: read whole.
    std::string longName = "C:\\";
    while (longName.size() < 3000)
        longName += "velmora\\";
    longName += "long.wav";
    REQUIRE(SetSoundText(longName));
    toggle();
    CHECK_EQ(last().size(), longName.size());
    CHECK(last() == longName);

    // An embedded NUL ends the text.
    REQUIRE(SetSoundValue(REG_SZ, std::string("cut.wav\0ignored.wav\0", 20)));
    toggle();
    CHECK_EQ(last(), std::string("cut.wav"));

    // Stored without a terminator: every byte is the name.
    REQUIRE(SetSoundValue(REG_SZ, "bare.wav"));
    toggle();
    CHECK_EQ(last(), std::string("bare.wav"));

    // An empty name is still handed on.
    REQUIRE(SetSoundText(""));
    toggle();
    CHECK_EQ(last(), std::string(""));

    const size_t heard = launcher.Sounds().size();
    CHECK_EQ(heard, size_t{6});

    // Unexpanded file names, no default value, no key: silence, and the
    // switches still happen.
    REQUIRE(SetSoundValue(REG_EXPAND_SZ, std::string("%SystemRoot%\\media\\x.wav", 25)));
    toggle();
    DeleteSoundValue();
    toggle();
    DeleteSoundKey();
    toggle();
    CHECK_EQ(launcher.Sounds().size(), heard);
    CHECK(onSecond);
    CHECK(launcher.Shows(launcher.Bitmap("CMD-SECOND")));
    // Nothing was reported either.
    CHECK(OwnedWindows(launcher.Id(), launcher.Window()).empty());
    CHECK_EQ(launcher.Process().Output(), std::string());

    REQUIRE(SetSoundText("again.wav"));
    toggle();
    CHECK_EQ(last(), std::string("again.wav"));
}

WINE_TEST(finished_launches_leave_no_handles)
{
    REQUIRE(SetSoundText("handles.wav"));
    Launcher launcher("handles");
    REQUIRE(launcher.Ready());

    // Starts in quick succession, each watcher waiting on the process of its
    // own start. A process that has ended stays reachable by its id for as
    // long as anyone holds a handle to it; once every recorder has ended and
    // every watcher closed its handle, none can be opened any more.
    for (int i = 0; i < 5; ++i)
        launcher.Click(MainRecorder);
    REQUIRE(launcher.WaitForRecords(5));
    const std::vector<Record> records = launcher.Records();
    auto reachable = [](DWORD id) {
        const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
        return static_cast<bool>(process);
    };
    for (const Record& record : records) {
        REQUIRE(record.processId != 0);
        CHECK(WaitUntil([&] { return !reachable(record.processId); }));
    }
    CHECK(IsWindow(launcher.Window()));
}

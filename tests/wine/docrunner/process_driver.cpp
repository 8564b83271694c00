// Process and the process start of docrunner, run against a stand-in that
// stays alive until the case lets it go.
#include "docrunner/process_win32.h"
#include "tests/wine/docrunner/recorder.h"
#include "tests/wine/support/test_support.h"

#include <string>

namespace {

// A folder of the case's own with a stand-in in it and its records beside;
// every stand-in ends when the case does.
class StandIns {
public:
    explicit StandIns(const std::string& name) : folder(ScratchDirectory("process_" + name))
    {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, StopEventName);
        ResetEvent(stop_);
        SetEnvironmentVariableA(RecordDirectoryVariable, folder.c_str());
    }
    ~StandIns()
    {
        SetEvent(stop_);
        CloseHandle(stop_);
    }
    StandIns(const StandIns&) = delete;
    StandIns& operator=(const StandIns&) = delete;

    std::string Place(const std::string& path) { return CopyFileTo(STAND_IN_EXE, path) ? path : std::string(); }
    void Stop() { SetEvent(stop_); }

    const std::string folder;

private:
    HANDLE stop_ = nullptr;
};

bool HandleIsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

}  // namespace

WINE_TEST(wait_tells_a_running_process_from_an_ended_one)
{
    StandIns standIns("wait");
    const std::string program = standIns.Place(standIns.folder + "\\waiter.exe");
    REQUIRE(!program.empty());
    Process process = StartProcess(program, "", "");
    REQUIRE(process.IsValid());
    CHECK(process.ProcessId() != 0);
    CHECK(!process.Wait(0));

    standIns.Stop();
    CHECK(process.Wait(10000));
    CHECK(process.Wait(0));
}

WINE_TEST(copies_hold_their_own_handle)
{
    StandIns standIns("copies");
    const std::string program = standIns.Place(standIns.folder + "\\waiter.exe");
    REQUIRE(!program.empty());

    Process assigned;
    HANDLE originalHandle = nullptr;
    DWORD id = 0;
    {
        Process original = StartProcess(program, "", "");
        REQUIRE(original.IsValid());
        originalHandle = original.Handle();
        id = original.ProcessId();
        {
            Process copy(original);
            REQUIRE(copy.IsValid());
            CHECK(copy.Handle() != original.Handle());
            CHECK_EQ(GetProcessId(copy.Handle()), id);
            CHECK_EQ(copy.ProcessId(), id);
            HANDLE copyHandle = copy.Handle();
            copy = copy;  // assigning a value to itself keeps its handle
            CHECK(copy.Handle() == copyHandle && HandleIsOpen(copyHandle));
        }
        // The copy closed its own handle only.
        CHECK(HandleIsOpen(originalHandle));
        CHECK(!original.Wait(0));

        assigned = original;
        CHECK(assigned.Handle() != originalHandle);
    }
    CHECK(!HandleIsOpen(originalHandle));
    CHECK_EQ(GetProcessId(assigned.Handle()), id);
    CHECK(!assigned.Wait(0));

    standIns.Stop();
    CHECK(assigned.Wait(10000));
}

WINE_TEST(failed_starts_give_an_invalid_process)
{
    StandIns standIns("failed");
    Process none;
    CHECK(!none.IsValid());
    CHECK(!none.Wait(0));
    Process copy(none);
    CHECK(!copy.IsValid());
    CHECK(copy.ProcessId() == 0);

    const Process missing = StartCommandLine(standIns.folder + "\\missing.exe -restrict a.pdf", "");
    CHECK(!missing.IsValid());
    CHECK_EQ(missing.ProcessId(), DWORD{0});
    const ULONGLONG start = GetTickCount64();
    CHECK(!missing.Wait(INFINITE));
    CHECK(GetTickCount64() - start < 5000);

    // An empty program starts nothing, whatever lies in the current directory.
    CHECK(!standIns.Place(standIns.folder + "\\-restrict.exe").empty());
    SetCurrentDirectoryA(standIns.folder.c_str());
    const Process empty = StartProcess("", "-restrict a.pdf", standIns.folder);
    CHECK(!empty.IsValid());
    CHECK(GetFileAttributesA((standIns.folder + "\\-restrict.txt").c_str()) == INVALID_FILE_ATTRIBUTES);
}

WINE_TEST(program_path_with_blanks_is_quoted_and_gives_the_directory)
{
    StandIns standIns("blanks");
    const std::string folder = standIns.folder + "\\Program Files";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = standIns.Place(folder + "\\reader.exe");
    REQUIRE(!program.empty());

    Process process = StartProcess(program, "-restrict my manual.pdf", "");
    REQUIRE(process.IsValid());
    const std::string record = standIns.folder + "\\reader.txt";
    REQUIRE(WaitUntil([&] { return GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    std::string bytes;
    REQUIRE(ReadWholeFile(record, bytes));
    CHECK_EQ(bytes.substr(0, bytes.find('\n')), "\"" + program + "\" -restrict my manual.pdf");
    const std::string::size_type second = bytes.find('\n') + 1;
    CHECK_EQ(bytes.substr(second, bytes.find('\n', second) - second), folder);
    standIns.Stop();
    CHECK(process.Wait(10000));
}

// Process and the process start of docrunner, run against a stand-in that
// stays alive until the case lets it go.
#include "docrunner/process_command.h"
#include "docrunner/process_win32.h"
#include "tests/wine/support/stand_ins.h"

#include <string>

namespace {

// A folder of the case's own for the stand-ins and their records; every
// stand-in ends when the case does.
struct Folder {
    explicit Folder(const std::string& name) : path(ScratchDirectory("process_" + name)), standIns(path) {}
    std::string Place(const std::string& file) const
    {
        return standIns.Place(path + "\\" + file) ? path + "\\" + file : "";
    }

    const std::string path;
    StandIns standIns;
};

// Starts `program` the way docrunner starts its reader: the command line and
// directory worked out first, then started as written.
Process StartProcess(const std::string& program, const std::string& arguments)
{
    const ProcessCommand command = BuildProcessCommand(program, arguments, "");
    return StartCommandLine(command.commandLine, command.workingDirectory);
}

bool HandleIsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

}  // namespace

WINE_TEST(wait_tells_a_running_process_from_an_ended_one)
{
    Folder here("wait");
    const std::string program = here.Place("waiter.exe");
    REQUIRE(!program.empty());
    Process process = StartProcess(program, "");
    REQUIRE(process.IsValid());
    CHECK(process.ProcessId() != 0);
    CHECK(!process.Wait(0));

    here.standIns.Release();
    CHECK(process.Wait(10000));
    CHECK(process.Wait(0));
}

WINE_TEST(copies_hold_their_own_handle)
{
    Folder here("copies");
    const std::string program = here.Place("waiter.exe");
    REQUIRE(!program.empty());

    Process assigned;
    HANDLE originalHandle = nullptr;
    DWORD id = 0;
    {
        Process original = StartProcess(program, "");
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

    here.standIns.Release();
    CHECK(assigned.Wait(10000));
}

WINE_TEST(failed_starts_give_an_invalid_process)
{
    Folder here("failed");
    Process none;
    CHECK(!none.IsValid());
    CHECK(!none.Wait(0));
    Process copy(none);
    CHECK(!copy.IsValid());
    CHECK(copy.ProcessId() == 0);

    const Process missing = StartCommandLine(here.path + "\\missing.exe -restrict a.pdf", "");
    CHECK(!missing.IsValid());
    CHECK_EQ(missing.ProcessId(), DWORD{0});
    const ULONGLONG start = GetTickCount64();
    CHECK(!missing.Wait(INFINITE));
    CHECK(GetTickCount64() - start < 5000);
}

WINE_TEST(program_path_with_blanks_is_quoted_and_gives_the_directory)
{
    Folder here("blanks");
    const std::string folder = here.path + "\\Program Files";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "\\reader.exe";
    REQUIRE(here.standIns.Place(program));

    Process process = StartProcess(program, "-restrict my manual.pdf");
    REQUIRE(process.IsValid());
    StandInRecord record;
    REQUIRE(here.standIns.WaitForRecord("reader", record));
    CHECK_EQ(record.commandLine, "\"" + program + "\" -restrict my manual.pdf");
    CHECK_EQ(record.directory, folder);
    here.standIns.Release();
    CHECK(process.Wait(10000));
}

// The helpers the other drivers rely on, checked against Wine itself, so a
// failure elsewhere points at the program under test and not at its driver.
#include "tests/wine/support/registry.h"
#include "tests/wine/support/stand_ins.h"
#include "tests/wine/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Self()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return "\"" + std::string(path) + "\"";
}

bool Contains(const std::string& text, const std::string& piece)
{
    return text.find(piece) != std::string::npos;
}

struct SaysWhenCleanedUp {
    ~SaysWhenCleanedUp() { std::printf("cleaned up\n"); }
};

void RequireDeepInside(int depth)
{
    if (depth > 0)
        RequireDeepInside(depth - 1);
    REQUIRE(depth != 0);
}

const char* const WriterEvent = "VELMORA_SELFTEST_WRITER";

}  // namespace

// ---- The runner ---------------------------------------------------------------

WINE_PROBE(probe_require_in_a_helper)
{
    SaysWhenCleanedUp cleanup;
    RequireDeepInside(3);
    std::printf("went on after the helper\n");
}

WINE_PROBE(probe_skip)
{
    SKIP("nothing to test here");
}

WINE_PROBE(probe_skip_after_a_failure)
{
    CHECK(1 + 1 == 3);
    SKIP("too late");
}

WINE_TEST(require_ends_the_case_from_any_depth)
{
    const RunResult run = RunCaptured(Self() + " probe_require_in_a_helper");
    REQUIRE(run.ended);
    CHECK_EQ(run.exitCode, DWORD{1});
    CHECK(Contains(run.output, "FAILED: required: depth != 0"));
    CHECK(Contains(run.output, "cleaned up"));
    CHECK(!Contains(run.output, "went on"));
}

WINE_TEST(skip_is_an_outcome_of_its_own)
{
    const RunResult skipped = RunCaptured(Self() + " probe_skip");
    CHECK_EQ(skipped.exitCode, DWORD{77});
    CHECK(Contains(skipped.output, "SKIPPED: nothing to test here"));
    // A failed check is never hidden by a later skip.
    CHECK_EQ(RunCaptured(Self() + " probe_skip_after_a_failure").exitCode, DWORD{1});
    CHECK_EQ(RunCaptured(Self() + " no_such_case").exitCode, DWORD{1});
}

WINE_TEST(lists_its_cases_but_not_its_probes)
{
    const RunResult list = RunCaptured(Self() + " --list");
    CHECK_EQ(list.exitCode, DWORD{0});
    CHECK(Contains(list.output, "skip_is_an_outcome_of_its_own\r\n"));
    CHECK(!Contains(list.output, "probe_"));
    // The check that ctest runs every case: one missing, one unknown.
    const RunResult partial = RunCaptured(Self() + " --registered skip_is_an_outcome_of_its_own probe_skip");
    CHECK_EQ(partial.exitCode, DWORD{1});
    CHECK(Contains(partial.output, "case converts_build_paths is not registered"));
    CHECK(Contains(partial.output, "ctest runs probe_skip, which this driver does not have"));
}

// ---- Processes ------------------------------------------------------------------

WINE_TEST(captures_output_and_exit_code)
{
    const RunResult result = RunCaptured("cmd.exe /c echo one& echo two& exit 3");
    REQUIRE(result.ended);
    CHECK_EQ(result.exitCode, DWORD{3});
    CHECK_EQ(result.output, std::string("one\r\ntwo\r\n"));
}

// Starts a copy of this driver that holds the same standard output, writes
// once the event is set, and then ends.
WINE_PROBE(probe_leave_a_writer_behind)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info = {};
    std::string line = Self() + " probe_write_later";
    REQUIRE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::printf("writer %lu\n", info.dwProcessId);
}

WINE_PROBE(probe_write_later)
{
    char name[64] = {};
    GetEnvironmentVariableA(WriterEvent, name, sizeof name);
    const UniqueHandle event(OpenEventA(SYNCHRONIZE, FALSE, name));
    REQUIRE(event);
    WaitForSingleObject(event.get(), 30000);
    const std::string block(4000, 'w');
    for (int i = 0; i < 50; ++i)
        std::printf("%s\n", block.c_str());
}

// The program a child started may hold the pipe beyond the child's end and
// beyond the ChildProcess that reads it; what it writes then goes nowhere.
WINE_TEST(output_written_after_the_reader_is_gone_goes_nowhere)
{
    const std::string name = "VelmoraSelftestWriter-" + std::to_string(GetCurrentProcessId());
    const UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
    REQUIRE(event);
    SetEnvironmentVariableA(WriterEvent, name.c_str());
    DWORD writer = 0;
    {
        ChildProcess child;
        REQUIRE(child.Start(Self() + " probe_leave_a_writer_behind"));
        CHECK(child.WaitForExit());
        CHECK_EQ(child.ExitCode(), DWORD{0});
        writer = static_cast<DWORD>(std::strtoul(child.Output().c_str() + std::string("writer ").size(), nullptr, 10));
    }
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, writer));
    REQUIRE(process);
    SetEvent(event.get());
    CHECK(WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0);
    // This driver is still whole: its heap took no stray writes.
    CHECK(HeapValidate(GetProcessHeap(), 0, nullptr));
    const RunResult after = RunCaptured("cmd.exe /c echo still");
    CHECK_EQ(after.output, std::string("still\r\n"));
}

WINE_TEST(stand_ins_record_how_they_were_started_and_wait_for_their_release)
{
    const std::string folder = ScratchDirectory("selftest_stand_ins");
    StandIns standIns(folder + "\\records");
    const std::string program = folder + "\\my reader.exe";
    REQUIRE(standIns.Place(program));
    ChildProcess started;
    REQUIRE(started.Start("\"" + program + "\" first \"second word\" 0x0", folder));
    StandInRecord record;
    REQUIRE(standIns.WaitForRecord("my reader", record));
    CHECK_EQ(record.name, std::string("my reader"));
    CHECK_EQ(record.program, program);
    CHECK_EQ(record.commandLine, "\"" + program + "\" first \"second word\" 0x0");
    CHECK_EQ(record.directory, folder);
    CHECK(record.args == (std::vector<std::string>{"first", "second word", "0x0"}));
    CHECK(record.windows == std::vector<std::string>{""});
    CHECK_EQ(record.processId, started.Id());
    CHECK(started.Running());
    standIns.Release();
    CHECK(!started.Running());
    CHECK(standIns.Records("other").empty());
}

WINE_TEST(saved_registry_values_come_back)
{
    const std::string key = "Software\\Velmora\\SelfTest";
    {
        SavedRegistryValue value(HKEY_CURRENT_USER, key, "v");
        CHECK(!value.Saved().present);
        REQUIRE(value.WriteText("one"));
        CHECK_EQ(value.Read().bytes, std::string("one", 4));
    }
    CHECK(!ReadRegistryValue(HKEY_CURRENT_USER, key, "v").present);
    REQUIRE(WriteRegistryValue(HKEY_CURRENT_USER, key, "v", REG_BINARY, std::string("\x01\x02", 2)));
    {
        SavedRegistryValue value(HKEY_CURRENT_USER, key, "v");
        value.DeleteKey();
        CHECK(!value.Read().present);
    }
    const RegistryValue back = ReadRegistryValue(HKEY_CURRENT_USER, key, "v");
    CHECK_EQ(back.type, DWORD{REG_BINARY});
    CHECK_EQ(back.bytes, std::string("\x01\x02", 2));
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

// ---- Paths, waits and pictures -----------------------------------------------------

WINE_TEST(converts_build_paths)
{
    CHECK_EQ(WindowsPath("/work/build/bin/autorun.exe"), std::string("Z:\\work\\build\\bin\\autorun.exe"));
    CHECK_EQ(WindowsPath("C:\\x\\y.exe"), std::string("C:\\x\\y.exe"));
    CHECK_EQ(DirectoryOf("C:\\x\\y.exe"), std::string("C:\\x"));
}

WINE_TEST(waits_are_bounded)
{
    const ULONGLONG start = GetTickCount64();
    CHECK(!WaitUntil([] { return false; }, 200));
    CHECK(GetTickCount64() - start < 5000);
    int calls = 0;
    CHECK(WaitUntil([&] { return ++calls == 3; }, 5000));
}

WINE_TEST(pictures_that_were_not_read_never_match)
{
    Pixels none;
    CHECK(!(none == none));
    CHECK(!DifferingPoints(none, none).empty());
    Pixels small;
    small.width = 2;
    small.height = 1;
    small.data = {1, 2};
    Pixels wide = small;
    wide.width = 1;
    wide.height = 2;
    CHECK(small == small);
    CHECK(!(small == wide));
    CHECK_EQ(DifferingPoints(small, wide).size(), size_t{4});
    CHECK_EQ(DifferingPoints(small, none).size(), size_t{2});
    Pixels other = small;
    other.data[1] = 3;
    const std::vector<POINT> points = DifferingPoints(small, other);
    REQUIRE(points.size() == 1u);
    CHECK(points[0].x == 1 && points[0].y == 0);
}

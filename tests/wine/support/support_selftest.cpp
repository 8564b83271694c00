// The helpers the other drivers rely on, checked against Wine itself, so a
// failure elsewhere points at the program under test and not at its driver.
#include "tests/wine/support/test_support.h"

WINE_TEST(captures_output_and_exit_code)
{
    const RunResult result = RunCaptured("cmd.exe /c echo one& echo two& exit 3");
    REQUIRE(result.ended);
    CHECK_EQ(result.exitCode, DWORD{3});
    CHECK_EQ(result.output, std::string("one\r\ntwo\r\n"));
}

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

// The Windows version the tests run under: the one asked for with
// WINE_WINDOWS_VERSION when the prefix was made, else Wine's default for a
// new prefix (Windows 7 with the Wine of these machines). Guards the second
// run of the suite against quietly testing the same version twice.
#include "tests/wine/support/test_support.h"

#include <cstdlib>
#include <string>

namespace {

struct Version {
    DWORD major = 0;
    DWORD minor = 0;
};

// GetVersionExA is shimmed by the manifest; ntdll reports what the prefix says.
Version ReportedVersion()
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    Version version;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion && rtlGetVersion(&info) == 0) {
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
    }
    return version;
}

}  // namespace

WINE_TEST(reports_the_version_of_its_prefix)
{
    const char* asked = std::getenv("WINE_WINDOWS_VERSION");
    const std::string name = asked && *asked ? asked : "win7";
    const Version version = ReportedVersion();
    std::printf("Windows %lu.%lu (%s)\n", version.major, version.minor, name.c_str());
    if (name == "win7") {
        CHECK_EQ(version.major, 6UL);
        CHECK_EQ(version.minor, 1UL);
    } else if (name == "win10") {
        CHECK_EQ(version.major, 10UL);
        CHECK_EQ(version.minor, 0UL);
    } else {
        ReportFailure(__FILE__, __LINE__, "no expectation for " + name);
    }
}

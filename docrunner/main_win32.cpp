// Entry point of the document launcher: opens the document named on the
// command line through the shell, else in the reader beside this program.
#include "docrunner/document_arguments.h"
#include "docrunner/document_plan.h"
#include "docrunner/process_win32.h"

#include "common/dll_search_win32.h"
#include "common/program_path_win32.h"
#include "common/standard_output.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

namespace {

// Empty when the path cannot be read whole: a cut-off path would name the
// wrong folder, while an empty one lets the reader be looked for by name.
std::string ReadablePath(const ProgramPath& program)
{
    return program.whole ? program.path : std::string();
}

// An unreadable or over-long current directory is given as empty, which
// makes the reader start in its own folder.
std::string CurrentDirectory()
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return (length > 0 && length < MAX_PATH) ? std::string(buffer, length) : std::string();
}

}  // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): winbase.h names them in its own style
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    RestrictDllSearchToSystem();

    DocumentArguments arguments = ReadDocumentArguments(commandLine, ReadablePath(OwnProgramPath()),
                                                        reinterpret_cast<std::uintptr_t>(GetDesktopWindow()));
    std::string debugText;
    for (const std::string& line : arguments.debugLines)
        debugText += line;
    WriteStandardOutput(debugText);

    DocumentPlan plan = PlanDocumentStart(arguments);
    if (plan.step == DocumentStep::AskShell) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the platform-free arguments keep the handle as a number
        HINSTANCE answer = ShellExecuteA(reinterpret_cast<HWND>(arguments.hwndOwner), "open",
                                         arguments.strDocument.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        plan = PlanAfterShellAnswer(arguments, reinterpret_cast<INT_PTR>(answer), CurrentDirectory());
    }
    if (plan.step == DocumentStep::StartReaderAndWait)
        StartCommandLine(plan.reader.commandLine, plan.reader.workingDirectory).Wait(INFINITE);
    return 0;
}

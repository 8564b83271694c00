// Entry point of the document launcher: opens the document named on the
// command line through the shell, else in the reader beside this program.
#include "docrunner/document_arguments.h"
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

    if (arguments.strDocument.empty())
        return 0;

    // NOLINTNEXTLINE(performance-no-int-to-ptr): the platform-free arguments keep the handle as a number
    HWND hwndOwner = reinterpret_cast<HWND>(arguments.hwndOwner);
    HINSTANCE result = ShellExecuteA(hwndOwner, "open", arguments.strDocument.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // The viewer runs on by itself; there is nothing to wait for.
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return 0;

    OpenWithReader(arguments.strDocument, arguments.strReader);
    return 0;
}

#include "docrunner/document_arguments.h"

#include "common/command_line.h"
#include "common/file_path.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char kReaderFile[] = "sumatrapdf.exe";

std::string FormatPosLine(int pos)
{
    char line[32];
    std::snprintf(line, sizeof line, "pos: %d\n", pos);
    return line;
}

}  // namespace

DocumentArguments ReadDocumentArguments(const char* commandLineText, const std::string& modulePath,
                                        std::uintptr_t desktopWindow)
{
    DocumentArguments result;
    result.hwndOwner = desktopWindow;
    std::string moduleDirectory;
    result.strReader = DirectoryOf(modulePath, moduleDirectory) ? moduleDirectory + '\\' + kReaderFile : kReaderFile;

    CommandLine cmdline(commandLineText);
    for (int pos = 0; cmdline.OptionAt(static_cast<std::size_t>(pos)).valid; ++pos) {
        const CommandLineOption& entry = cmdline.OptionAt(static_cast<std::size_t>(pos));
        result.debugLines.push_back(FormatPosLine(pos));
        result.debugLines.push_back("cmdline[pos].name: " + entry.name + "\n");

        if (entry.name.empty() && entry.values.empty()) {
            // A lone "-" or "/": nothing to take from it.
        } else if (entry.name.empty() && result.strDocument.empty()) {
            result.strDocument = entry.values.front();
        } else if (entry.name.empty()) {
            result.strReader = entry.values.front();
        } else if (entry.name == "owner" && !entry.values.empty()) {
            // The menu launcher writes its window as hexadecimal "0x..."; a
            // text without digits gives 0, a request without a parent.
            result.hwndOwner = std::strtoul(entry.values.front().c_str(), nullptr, 0);
        }
    }
    result.debugLines.push_back("strDocument: " + result.strDocument + "\n");
    return result;
}

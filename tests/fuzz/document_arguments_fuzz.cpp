// Arbitrary bytes as docrunner's command line: the reading must not fail, and
// the debug lines must account for every entry.
#include "common/command_line.h"
#include "docrunner/document_arguments.h"
#include "docrunner/process_command.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks a module path, the rest is the command line.
    if (size == 0)
        return 0;
    static const char* const modules[] = {"D:\\software\\pdfreader\\docrunner.exe", "docrunner.exe", ""};
    static const char* const defaultReaders[] = {"D:\\software\\pdfreader\\sumatrapdf.exe", "sumatrapdf.exe",
                                                 "sumatrapdf.exe"};
    const std::string module = modules[data[0] % 3];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text.resize(std::strlen(text.c_str()));

    const std::uintptr_t desktop = 0x10010;
    DocumentArguments arguments = ReadDocumentArguments(text.c_str(), module, desktop);
    CommandLine cmdline(text.c_str());

    Check(arguments.debugLines.size() == 2 * (cmdline.size() - 1) + 1);
    Check(arguments.debugLines.back() == "strDocument: " + arguments.strDocument + "\n");
    for (const std::string& line : arguments.debugLines)
        Check(!line.empty() && line.back() == '\n');

    // The document is the first non-empty positional value; the reader the
    // last positional value after it, else the default beside the module.
    bool ownerGiven = false;
    std::string document;
    std::string reader = defaultReaders[data[0] % 3];
    for (std::size_t i = 0; cmdline.OptionAt(i).valid; ++i) {
        const CommandLineOption& entry = cmdline.OptionAt(i);
        Check(arguments.debugLines[2 * i + 1] == "cmdline[pos].name: " + entry.name + "\n");
        if (entry.name == "owner" && !entry.values.empty())
            ownerGiven = true;
        if (!entry.name.empty() || entry.values.empty())
            continue;
        if (document.empty())
            document = entry.values.front();
        else
            reader = entry.values.front();
    }
    Check(arguments.strDocument == document);
    Check(arguments.strReader == reader);
    if (!ownerGiven)
        Check(arguments.hwndOwner == desktop);

    // The reader then starts with the document as its argument; both come
    // from the command line, so the process command must keep them whole.
    const std::string readerArguments = ReaderArguments(document);
    const ProcessCommand command = BuildProcessCommand(reader, readerArguments, "");
    const std::string& started = command.commandLine;
    Check(started.size() > readerArguments.size() &&
          started.compare(started.size() - readerArguments.size() - 1, std::string::npos, " " + readerArguments) == 0);
    const std::string program = started.substr(0, started.size() - readerArguments.size() - 1);
    Check(program == reader || program == "\"" + reader + "\"");
    // The working directory is the start of the reader's own path: its
    // folder, never text from elsewhere.
    const std::size_t first = !reader.empty() && reader[0] == '"' ? 1 : 0;
    Check(reader.compare(first, command.workingDirectory.size(), command.workingDirectory) == 0);
    Check(command.workingDirectory.empty() || reader.find('\\') != std::string::npos);
    return 0;
}

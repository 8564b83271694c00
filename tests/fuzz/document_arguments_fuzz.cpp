// Arbitrary bytes as docrunner's command line: the reading must not fail, and
// what it gives must be text of that line, described by well-formed debug
// lines. A line built from the same bytes by the documented rules (an owner
// option, a quoted document, a reader) must then give back exactly its parts.
#include "docrunner/document_arguments.h"
#include "docrunner/process_command.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

const std::uintptr_t Desktop = 0x10010;

struct Module {
    const char* path;
    const char* defaultReader;  // sumatrapdf.exe beside it
};
const Module Modules[] = {
    {"D:\\software\\pdfreader\\docrunner.exe", "D:\\software\\pdfreader\\sumatrapdf.exe"},
    {"docrunner.exe", "sumatrapdf.exe"},
    {"", "sumatrapdf.exe"},
};

bool StartsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

// Every entry is told as "pos: N" and its name, in order from 0, and the
// document comes last; nothing but whole lines.
void CheckDebugLines(const DocumentArguments& arguments)
{
    const std::size_t count = arguments.debugLines.size();
    Check(count % 2 == 1);
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        Check(arguments.debugLines[i] == "pos: " + std::to_string(i / 2) + "\n");
        const std::string& name = arguments.debugLines[i + 1];
        Check(StartsWith(name, "cmdline[pos].name: ") && name.back() == '\n');
    }
    Check(arguments.debugLines.back() == "strDocument: " + arguments.strDocument + "\n");
}

// Whatever the text, the document and a reader that is not the default are
// pieces of it, never made up; the reader is only taken after a document.
void CheckAnyLine(const std::string& text, const Module& module)
{
    const DocumentArguments arguments = ReadDocumentArguments(text.c_str(), module.path, Desktop);
    CheckDebugLines(arguments);
    Check(text.find(arguments.strDocument) != std::string::npos);
    if (arguments.strReader != module.defaultReader) {
        Check(!arguments.strDocument.empty());
        Check(text.find(arguments.strReader) != std::string::npos);
    }
    if (text.find("owner:") == std::string::npos)
        Check(arguments.hwndOwner == Desktop);

    // The reader starts with the document as its argument; both come from
    // the command line, so the process command must keep them whole.
    const std::string readerArguments = ReaderArguments(arguments.strDocument);
    const ProcessCommand command = BuildProcessCommand(arguments.strReader, readerArguments, "");
    const std::string& started = command.commandLine;
    Check(started.size() > readerArguments.size() &&
          started.compare(started.size() - readerArguments.size() - 1, std::string::npos, " " + readerArguments) == 0);
    const std::string program = started.substr(0, started.size() - readerArguments.size() - 1);
    Check(program == arguments.strReader || program == "\"" + arguments.strReader + "\"");
    // The working directory is the start of the reader's own path: its
    // folder, never text from elsewhere.
    const std::string& reader = arguments.strReader;
    const std::size_t first = !reader.empty() && reader[0] == '"' ? 1 : 0;
    Check(reader.compare(first, command.workingDirectory.size(), command.workingDirectory) == 0);
    Check(command.workingDirectory.empty() || reader.find('\\') != std::string::npos);
}

std::string Without(const std::string& text, const char* dropped)
{
    std::string kept;
    for (char c : text) {
        if (std::strchr(dropped, c) == nullptr)
            kept += c;
    }
    return kept;
}

// A document in quotes keeps its blanks and commas, a reader without blanks
// or quotes is one word, and "-owner:0x..." may stand anywhere: each comes
// back exactly as it went in.
void CheckBuiltLine(const std::string& text, unsigned char layout)
{
    const std::string document = Without(text, "\"");
    std::string reader = Without(text, " \"");
    reader.erase(0, reader.find_first_not_of("-/"));
    if (document.empty() || reader.empty())
        return;
    std::uint32_t owner = 0;
    std::memcpy(&owner, text.data(), text.size() < sizeof owner ? text.size() : sizeof owner);
    char ownerOption[32];
    std::snprintf(ownerOption, sizeof ownerOption, "-owner:0x%lx", static_cast<unsigned long>(owner));

    const std::string quoted = "\"" + document + "\"";
    std::string line;
    switch (layout % 3) {
    case 0:
        line = std::string(ownerOption) + " " + quoted + " " + reader;
        break;
    case 1:
        line = quoted + " " + ownerOption + " " + reader;
        break;
    default:
        line = quoted + " " + reader + " " + ownerOption;
        break;
    }
    const DocumentArguments arguments = ReadDocumentArguments(line.c_str(), Modules[0].path, Desktop);
    Check(arguments.strDocument == document);
    Check(arguments.strReader == reader);
    Check(arguments.hwndOwner == owner);
    Check(arguments.debugLines.size() == 7);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks a module path and a layout, the rest is the text.
    if (size == 0)
        return 0;
    const Module& module = Modules[data[0] % 3];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text.resize(std::strlen(text.c_str()));

    CheckAnyLine(text, module);
    CheckBuiltLine(text, static_cast<unsigned char>(data[0] / 3));
    return 0;
}

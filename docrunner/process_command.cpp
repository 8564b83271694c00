#include "docrunner/process_command.h"

#include "common/file_path.h"

namespace {

bool IsEnclosedInQuotes(const std::string& text)
{
    return !text.empty() && text.front() == '"' && text.back() == '"';
}

std::string WithoutOpeningQuote(const std::string& program)
{
    return (!program.empty() && program.front() == '"') ? program.substr(1) : program;
}

// "D:" alone would mean the drive's current directory, not the folder the
// program lies in, so a drive root keeps its backslash.
std::string WithDriveRootBackslash(const std::string& directory)
{
    return (directory.size() == 2 && directory[1] == ':') ? directory + '\\' : directory;
}

}  // namespace

ProcessCommand BuildProcessCommand(const std::string& program, const std::string& arguments,
                                   const std::string& workingDirectory)
{
    ProcessCommand command;
    if (program.find(' ') == std::string::npos || IsEnclosedInQuotes(program))
        command.commandLine = program;
    else
        command.commandLine = '"' + program + '"';
    if (!arguments.empty())
        command.commandLine += ' ' + arguments;

    command.workingDirectory = workingDirectory;
    std::string programDirectory;
    if (workingDirectory.empty() && DirectoryOf(WithoutOpeningQuote(program), programDirectory))
        command.workingDirectory = WithDriveRootBackslash(programDirectory);
    return command;
}

std::string ReaderArguments(const std::string& strDocument)
{
    return "-restrict " + strDocument;
}

#include "docrunner/process_command.h"

#include "common/file_path.h"

namespace {

bool IsEnclosedInQuotes(const std::string& text)
{
    return !text.empty() && text.front() == '"' && text.back() == '"';
}

// The folder of a program path without the opening quote or the trailing
// backslash, except that a drive root keeps its backslash: "D:" alone would
// mean the drive's current directory, not the folder the program lies in.
std::string ProgramDirectory(const std::string& program)
{
    const std::string unquoted = (!program.empty() && program.front() == '"') ? program.substr(1) : program;
    std::string directory;
    if (!DirectoryOf(unquoted, directory))
        return std::string();
    if (directory.size() == 2 && directory[1] == ':')
        directory += '\\';
    return directory;
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

    command.workingDirectory = workingDirectory.empty() ? ProgramDirectory(program) : workingDirectory;
    return command;
}

std::string ReaderArguments(const std::string& strDocument)
{
    return "-restrict " + strDocument;
}

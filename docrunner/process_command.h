// The command line and working directory for starting a program, worked out
// before the platform is asked. Platform-free.
#pragma once

#include <string>

struct ProcessCommand {
    std::string commandLine;
    std::string workingDirectory;  // empty: the new process inherits ours
};

// The program path is quoted when it holds a blank and is not quoted yet, so
// the platform takes it whole; nothing else is quoted. With an empty
// `workingDirectory` the program's own directory is used.
ProcessCommand BuildProcessCommand(const std::string& program, const std::string& arguments,
                                   const std::string& workingDirectory);

// The reader's arguments for a document. The document is not quoted: a path
// with blanks reaches the reader as several words.
std::string ReaderArguments(const std::string& strDocument);

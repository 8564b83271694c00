#include "docrunner/process_command.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessCommand, PlainPathWithArgumentsAndGivenDirectory)
{
    ProcessCommand command = BuildProcessCommand("D:\\software\\pdfreader\\sumatrapdf.exe",
                                                 ReaderArguments("manual\\manual-de.pdf"), "D:\\");
    EXPECT_EQ(command.commandLine, "D:\\software\\pdfreader\\sumatrapdf.exe -restrict manual\\manual-de.pdf");
    EXPECT_EQ(command.workingDirectory, "D:\\");
}

TEST(ProcessCommand, PathWithBlanksIsQuotedOnce)
{
    ProcessCommand quoted = BuildProcessCommand("C:\\Program Files\\Reader\\reader.exe", "x", "");
    EXPECT_EQ(quoted.commandLine, "\"C:\\Program Files\\Reader\\reader.exe\" x");
    EXPECT_EQ(quoted.workingDirectory, "C:\\Program Files\\Reader");

    ProcessCommand already = BuildProcessCommand("\"C:\\Program Files\\Reader\\reader.exe\"", "x", "");
    EXPECT_EQ(already.commandLine, "\"C:\\Program Files\\Reader\\reader.exe\" x");
    EXPECT_EQ(already.workingDirectory, "C:\\Program Files\\Reader");

    // Quoted at the start only, but no blank: taken as it is.
    ProcessCommand open = BuildProcessCommand("\"C:\\Tools\\reader.exe", "", "");
    EXPECT_EQ(open.commandLine, "\"C:\\Tools\\reader.exe");
    EXPECT_EQ(open.workingDirectory, "C:\\Tools");

    // A blank with a quote at the start only is enclosed again.
    EXPECT_EQ(BuildProcessCommand("\"C:\\a b\\r.exe", "", "").commandLine, "\"\"C:\\a b\\r.exe\"");
}

TEST(ProcessCommand, EmptyArgumentsAddNoBlank)
{
    EXPECT_EQ(BuildProcessCommand("C:\\r.exe", "", "C:\\w").commandLine, "C:\\r.exe");
    EXPECT_EQ(BuildProcessCommand("C:\\a b\\r.exe", "", "").commandLine, "\"C:\\a b\\r.exe\"");
}

TEST(ProcessCommand, WorkingDirectoryFromTheProgramPath)
{
    EXPECT_EQ(BuildProcessCommand("reader.exe", "", "").workingDirectory, "");
    EXPECT_EQ(BuildProcessCommand("\"reader.exe\"", "", "").workingDirectory, "");
    EXPECT_EQ(BuildProcessCommand("", "", "").workingDirectory, "");
    EXPECT_EQ(BuildProcessCommand("a\\b\\r.exe", "", "").workingDirectory, "a\\b");
    // A drive root keeps its backslash: "D:" alone is the drive's current directory.
    EXPECT_EQ(BuildProcessCommand("D:\\sumatrapdf.exe", "", "").workingDirectory, "D:\\");
    EXPECT_EQ(BuildProcessCommand("\"D:\\sumatrapdf.exe\"", "", "").workingDirectory, "D:\\");
    EXPECT_EQ(BuildProcessCommand("\\r.exe", "", "").workingDirectory, "");
    // A given directory is never replaced.
    EXPECT_EQ(BuildProcessCommand("C:\\x\\r.exe", "", "E:\\docs").workingDirectory, "E:\\docs");
}

TEST(ProcessCommand, DocumentIsNeverQuoted)
{
    EXPECT_EQ(ReaderArguments("my manual.pdf"), "-restrict my manual.pdf");
    EXPECT_EQ(BuildProcessCommand("C:\\r.exe", ReaderArguments("my manual.pdf"), "C:\\").commandLine,
              "C:\\r.exe -restrict my manual.pdf");
    EXPECT_EQ(ReaderArguments(""), "-restrict ");
}

}  // namespace

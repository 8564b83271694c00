#include "docrunner/document_plan.h"

#include <gtest/gtest.h>

namespace {

DocumentArguments Arguments(const std::string& document, const std::string& reader)
{
    DocumentArguments arguments;
    arguments.strDocument = document;
    arguments.strReader = reader;
    return arguments;
}

TEST(DocumentPlan, TheShellIsAskedOnlyForANamedDocument)
{
    EXPECT_EQ(PlanDocumentStart(Arguments("manual\\a.pdf", "r.exe")).step, DocumentStep::AskShell);
    EXPECT_EQ(PlanDocumentStart(Arguments("", "r.exe")).step, DocumentStep::Done);
}

TEST(DocumentPlan, OnlyARefusingShellStartsTheReaderOnTheDocumentInOurDirectory)
{
    const DocumentArguments shipped = Arguments("manual\\manual-de.pdf", "D:\\software\\pdfreader\\sumatrapdf.exe");
    // ShellExecute's codes up to 32 are errors (0, 2 file not found, 31 no
    // association); anything above is the started viewer.
    for (const std::intptr_t refusal : {0, 2, 31, 32}) {
        const DocumentPlan plan = PlanAfterShellAnswer(shipped, refusal, "E:\\work");
        EXPECT_EQ(plan.step, DocumentStep::StartReaderAndWait) << refusal;
        EXPECT_EQ(plan.reader.commandLine, "D:\\software\\pdfreader\\sumatrapdf.exe -restrict manual\\manual-de.pdf");
        EXPECT_EQ(plan.reader.workingDirectory, "E:\\work");
    }
    EXPECT_EQ(PlanAfterShellAnswer(shipped, 33, "E:\\work").step, DocumentStep::Done);
    EXPECT_EQ(PlanAfterShellAnswer(shipped, 0x400000, "E:\\work").step, DocumentStep::Done);

    // An emptied reader starts nothing: not even a program named after the
    // reader's first argument.
    EXPECT_EQ(PlanAfterShellAnswer(Arguments("a.pdf", ""), 2, "E:\\work").step, DocumentStep::Done);
}

}  // namespace

#include "docrunner/document_plan.h"

DocumentPlan PlanDocumentStart(const DocumentArguments& arguments)
{
    DocumentPlan plan;
    if (!arguments.strDocument.empty())
        plan.step = DocumentStep::AskShell;
    return plan;
}

DocumentPlan PlanAfterShellAnswer(const DocumentArguments& arguments, std::intptr_t shellAnswer,
                                  const std::string& currentDirectory)
{
    DocumentPlan plan;
    // The viewer the shell started runs on by itself; there is nothing to
    // wait for. With no reader the command line would begin with the
    // arguments, and the platform would look for a program named after the
    // first of them.
    if (shellAnswer > 32 || arguments.strReader.empty())
        return plan;
    plan.step = DocumentStep::StartReaderAndWait;
    plan.reader = BuildProcessCommand(arguments.strReader, ReaderArguments(arguments.strDocument), currentDirectory);
    return plan;
}

// What docrunner does with its document, decided before and after the shell
// is asked: the shell opens the document if it can; only when it refuses is
// the reader started, and docrunner waits for it. Platform-free.
#pragma once

#include "docrunner/document_arguments.h"
#include "docrunner/process_command.h"

#include <cstdint>

enum class DocumentStep {
    Done,                // nothing (more) to do: docrunner ends
    AskShell,            // ask the shell to open the document for the owner
    StartReaderAndWait,  // start `reader` and wait until it has ended
};

struct DocumentPlan {
    DocumentStep step = DocumentStep::Done;
    ProcessCommand reader;  // StartReaderAndWait: the reader's command line and directory
};

// The first step: the shell is asked only when a document is named.
DocumentPlan PlanDocumentStart(const DocumentArguments& arguments);

// The step after the shell's answer (ShellExecute's result, which is above
// 32 when the shell opens the document). The reader starts with the document
// in `currentDirectory`, docrunner's own; an empty one lets the reader start
// in its own folder. An empty reader starts nothing.
DocumentPlan PlanAfterShellAnswer(const DocumentArguments& arguments, std::intptr_t shellAnswer,
                                  const std::string& currentDirectory);

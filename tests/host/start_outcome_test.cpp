#include "autorun/start_outcome.h"

#include <gtest/gtest.h>

namespace {

// The numbers as the platform has them: ERROR_NO_ASSOCIATION 1155,
// SE_ERR_NOASSOC 31, ERROR_FILE_NOT_FOUND 2 (and SE_ERR_FNF 2 beside it).
TEST(ChooseStartOutcome, TheShellsAnswerChoosesWaitOpenWithOrErrorBox)
{
    struct Row {
        ShellAnswer answer;
        StartOutcome outcome;
    };
    const Row rows[] = {
        {{true, true, 0, 42}, StartOutcome::WatchProcess},
        {{true, false, 0, 42}, StartOutcome::Nothing},
        // Windows names the missing association in the error code, Wine only
        // in the instance value; either one is enough.
        {{false, false, 1155, 0}, StartOutcome::OfferOpenWith},
        {{false, false, 0, 31}, StartOutcome::OfferOpenWith},
        {{false, false, 1155, 31}, StartOutcome::OfferOpenWith},
        {{false, false, 2, 2}, StartOutcome::ShowError},
        {{false, false, 0, 0}, StartOutcome::ShowError},
        // A success never asks for a chooser, whatever the fields hold.
        {{true, false, 1155, 31}, StartOutcome::Nothing},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ChooseStartOutcome(row.answer), row.outcome) << "row " << (&row - rows);
}

TEST(StartOutcome, TheChooserTakesTheTargetAsItStandsAndTheErrorBoxFallsBackToOurText)
{
    EXPECT_EQ(OpenWithParameters("manual\\read me.xyz"), "shell32.dll,OpenAs_RunDLL manual\\read me.xyz");
    EXPECT_EQ(StartErrorText("The system cannot find the file specified.\r\n", 2),
              "The system cannot find the file specified.\r\n");
    EXPECT_EQ(StartErrorText("", 2), "This item could not be started (error 2).");
    EXPECT_EQ(StartErrorText("", 4294967295u), "This item could not be started (error 4294967295).");
}

}  // namespace

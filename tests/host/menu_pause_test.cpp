#include "autorun/menu_pause.h"

#include <gtest/gtest.h>

namespace {

// A pause hides the menu and asks at the ticks; only the tick that finds the
// mutex gone shows it again and stops asking.
TEST(MenuPause, HiddenWhileTheMutexIsHeldShownOnceItIsGone)
{
    EXPECT_EQ(PauseAtCreation(true), PauseStep::HideAndPoll);
    EXPECT_EQ(PauseAtCreation(false), PauseStep::Show);
    EXPECT_EQ(PauseAtTick(true), PauseStep::Nothing);
    EXPECT_EQ(PauseAtTick(false), PauseStep::ShowAndStopPolling);
    EXPECT_EQ(PauseRequested(), PauseStep::HideAndPoll);
}

}  // namespace

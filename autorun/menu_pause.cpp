#include "autorun/menu_pause.h"

PauseStep PauseAtCreation(bool mutexHeld)
{
    return mutexHeld ? PauseStep::HideAndPoll : PauseStep::Show;
}

PauseStep PauseAtTick(bool mutexHeld)
{
    return mutexHeld ? PauseStep::Nothing : PauseStep::ShowAndStopPolling;
}

PauseStep PauseRequested()
{
    return PauseStep::HideAndPoll;
}

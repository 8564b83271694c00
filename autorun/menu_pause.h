// The pause: while another program holds the pause mutex the menu stays
// hidden, and a timer asks again until the mutex is gone. Platform-free: the
// window says whether the mutex is held and carries out the step.
#pragma once

enum class PauseStep {
    Nothing,
    Show,                // show the window
    HideAndPoll,         // hide the window and start asking again at every tick
    ShowAndStopPolling,  // show the window and stop asking
};

// When the window has just been made, still hidden.
PauseStep PauseAtCreation(bool mutexHeld);
// At a tick of the timer a pause started.
PauseStep PauseAtTick(bool mutexHeld);
// Another program asks for a pause by message: hidden at once, the mutex asked
// at the ticks, so a request without the mutex ends at the next one.
PauseStep PauseRequested();

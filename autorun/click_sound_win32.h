// The navigation sound of the user's sound scheme.
#pragma once

// Plays the "Navigating" sound of the user's scheme; silent on every failure.
void PlayClickSound();

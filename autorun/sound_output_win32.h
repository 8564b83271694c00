// Where the click sound leaves the program: the one call that makes noise,
// kept apart so a test build can record the file name instead of playing it.
#pragma once

#include <string>

// Starts playing the sound file and returns at once; never reports a failure.
void PlaySoundFile(const std::string& fileName);

#include "autorun/sound_output_win32.h"

#include <windows.h>

#include <mmsystem.h>

void PlaySoundFile(const std::string& fileName)
{
    // Asynchronous, so the command goes on while the sound plays; whether the
    // file exists or plays is the platform's matter.
    PlaySoundA(fileName.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

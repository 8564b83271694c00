#include "autorun/click_sound_win32.h"

#include "autorun/sound_output_win32.h"
#include "common/registry_win32.h"

#include <string>

void PlayClickSound()
{
    // Read at every click, so a change of the user's sound scheme is heard at
    // the next one without a restart.
    const RegistryKey key{HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.current"};
    std::string fileName;
    if (key.ReadString("", fileName))
        PlaySoundFile(fileName);
}

// The navigation sound of the user's sound scheme.
#pragma once

#include <windows.h>

#include <string>

// Names one registry key and reads from it; opens and closes the key itself.
struct RegistryKey {
    HKEY rootKey;
    std::string subkey;

    bool OpenKey(REGSAM access, HKEY& key) const;
    bool ReadValue(const std::string& valueName, std::string& bytes, DWORD& type) const;
    bool ReadString(const std::string& valueName, std::string& text) const;
};

// Plays the "Navigating" sound of the user's scheme; silent on every failure.
void PlayClickSound();

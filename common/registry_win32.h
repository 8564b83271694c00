// Values of one registry key.
#pragma once

#include <windows.h>

#include <string>

// Names one registry key; each call opens and closes the key itself, so no
// handle outlives the call.
struct RegistryKey {
    HKEY rootKey;
    std::string subkey;

    // A REG_SZ value up to its first NUL; false when the key or the value
    // cannot be read, and for any other type.
    bool ReadString(const std::string& valueName, std::string& text) const;
    // Stores `text` as a REG_SZ value with its terminating NUL, creating the
    // key when it is missing.
    bool WriteString(const std::string& valueName, const std::string& text) const;
};

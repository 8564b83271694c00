#include "autorun/click_sound_win32.h"

#include "autorun/sound_output_win32.h"
#include "common/handle_win32.h"

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD ValueBufferStep = 1024;

}  // namespace

bool RegistryKey::OpenKey(REGSAM access, HKEY& key) const
{
    key = nullptr;
    return RegOpenKeyExA(rootKey, subkey.c_str(), 0, access, &key) == ERROR_SUCCESS;
}

bool RegistryKey::ReadValue(const std::string& valueName, std::string& bytes, DWORD& type) const
{
    HKEY opened = nullptr;
    if (!OpenKey(KEY_QUERY_VALUE, opened))
        return false;
    const UniqueRegKey key(opened);

    // The buffer grows in fixed steps rather than to the size a failed call
    // reports: the value may change between two calls.
    std::vector<BYTE> buffer;
    DWORD size = 0;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        buffer.resize(buffer.size() + ValueBufferStep);
        size = static_cast<DWORD>(buffer.size());
        type = REG_NONE;
        result = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, buffer.data(), &size);
    }
    if (result != ERROR_SUCCESS)
        return false;
    // Never trust the count beyond what the buffer holds.
    size = std::min<DWORD>(size, static_cast<DWORD>(buffer.size()));
    bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return true;
}

bool RegistryKey::ReadString(const std::string& valueName, std::string& text) const
{
    std::string bytes;
    DWORD type = REG_NONE;
    if (!ReadValue(valueName, bytes, type) || type != REG_SZ)
        return false;
    // A value need not be stored with its terminator; without one every byte
    // is text.
    text = bytes.substr(0, bytes.find('\0'));
    return true;
}

void PlayClickSound()
{
    // Read at every click, so a change of the user's sound scheme is heard at
    // the next one without a restart.
    const RegistryKey key{HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.current"};
    std::string fileName;
    if (key.ReadString("", fileName))
        PlaySoundFile(fileName);
}

#include "common/registry_win32.h"

#include "common/handle_win32.h"

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD ValueBufferStep = 1024;

UniqueRegKey OpenKey(const RegistryKey& name, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(name.rootKey, name.subkey.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

UniqueRegKey CreateKey(const RegistryKey& name, REGSAM access)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(name.rootKey, name.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

// The bytes and type of a value; false when the key or the value cannot be
// read.
bool ReadValue(const RegistryKey& name, const std::string& valueName, std::string& bytes, DWORD& type)
{
    const UniqueRegKey key = OpenKey(name, KEY_QUERY_VALUE);
    if (!key)
        return false;

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

}  // namespace

bool RegistryKey::ReadString(const std::string& valueName, std::string& text) const
{
    std::string bytes;
    DWORD type = REG_NONE;
    if (!ReadValue(*this, valueName, bytes, type) || type != REG_SZ)
        return false;
    // A value need not be stored with its terminator; without one every byte
    // is text.
    text = bytes.substr(0, bytes.find('\0'));
    return true;
}

bool RegistryKey::WriteString(const std::string& valueName, const std::string& text) const
{
    const UniqueRegKey key = CreateKey(*this, KEY_ALL_ACCESS);
    if (!key)
        return false;
    // The terminating NUL is stored with the text, as the readers of REG_SZ
    // values (the logon shell among them) expect.
    const DWORD size = static_cast<DWORD>(text.size()) + 1;
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size) ==
           ERROR_SUCCESS;
}

#include "tests/wine/support/registry.h"

#include "common/handle_win32.h"

namespace {

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

}  // namespace

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name)
{
    RegistryValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return value;
    const UniqueRegKey owner(opened);
    DWORD size = 0;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.bytes.resize(size);
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(size ? &value.bytes[0] : nullptr), &size) == ERROR_SUCCESS) {
        value.present = true;
        value.bytes.resize(size);
    }
    return value;
}

bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const std::string& bytes)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const UniqueRegKey owner(opened);
    return RegSetValueExA(opened, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text)
{
    return WriteRegistryValue(root, key, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    const UniqueRegKey owner(opened);
    RegDeleteValueA(opened, name.c_str());
}

SavedRegistryValue::SavedRegistryValue(HKEY root, const std::string& key, const std::string& name)
    : root_(root), key_(key), name_(name), keyExisted_(KeyExists(root, key)), saved_(ReadRegistryValue(root, key, name))
{
}

SavedRegistryValue::~SavedRegistryValue()
{
    if (saved_.present)
        WriteRegistryValue(root_, key_, name_, saved_.type, saved_.bytes);
    else if (keyExisted_)
        Delete();
    else
        DeleteKey();
}

void SavedRegistryValue::DeleteKey() const
{
    RegDeleteTreeA(root_, key_.c_str());
    RegDeleteKeyA(root_, key_.c_str());
}

NewRegistryKey::NewRegistryKey(HKEY root, const std::string& key)
    : root_(root), key_(key), existed_(KeyExists(root, key))
{
}

NewRegistryKey::~NewRegistryKey()
{
    if (existed_)
        return;
    RegDeleteTreeA(root_, key_.c_str());
    RegDeleteKeyA(root_, key_.c_str());
}

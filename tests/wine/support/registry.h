// The registry values the programs under test read and write, read and
// changed by the drivers, and put back as they were once a case ends.
#pragma once

#include <windows.h>

#include <string>

struct RegistryValue {
    bool present = false;
    DWORD type = 0;
    std::string bytes;
};

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);
// Creates the key when it is missing.
bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const std::string& bytes);
// A REG_SZ value stored with its terminator, as the platform's tools store it.
bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text);
void DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name);

// One value as it was when this was made, put back however the case ends:
// rewritten, or deleted when it was absent (with its key, when that was
// absent too). Every change of the case goes through it.
class SavedRegistryValue {
public:
    SavedRegistryValue(HKEY root, const std::string& key, const std::string& name);
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;
    ~SavedRegistryValue();

    const RegistryValue& Saved() const { return saved_; }
    RegistryValue Read() const { return ReadRegistryValue(root_, key_, name_); }
    bool Write(DWORD type, const std::string& bytes) const
    {
        return WriteRegistryValue(root_, key_, name_, type, bytes);
    }
    bool WriteText(const std::string& text) const { return WriteRegistryText(root_, key_, name_, text); }
    void Delete() const { DeleteRegistryValue(root_, key_, name_); }
    // Deletes the key itself (with what lies below it).
    void DeleteKey() const;

private:
    HKEY root_;
    std::string key_;
    std::string name_;
    bool keyExisted_ = false;
    RegistryValue saved_;
};

// A key that did not exist when this was made is removed with everything
// below it when the case ends.
class NewRegistryKey {
public:
    NewRegistryKey(HKEY root, const std::string& key);
    NewRegistryKey(const NewRegistryKey&) = delete;
    NewRegistryKey& operator=(const NewRegistryKey&) = delete;
    ~NewRegistryKey();

private:
    HKEY root_;
    std::string key_;
    bool existed_ = false;
};

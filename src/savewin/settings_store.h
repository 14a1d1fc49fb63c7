#pragma once
#include "savewin/settings_store_math.h"

// One section of a profile file through the profile functions, so that an
// ini-file mapping of the section applies as it does to every other program.
class ProfileStore final : public SettingsStore {
public:
    ProfileStore(const char* file, const char* section) : file(file), section(section) {}
    std::optional<std::string> read(const char* key, unsigned buffer_size) const override;
    unsigned long write(const char* key, const char* value) override;

private:
    const char* file;
    const char* section;
};

// String values of one key under HKEY_CURRENT_USER. Only a write of a value
// creates the key; reads and deletes never do.
class UserKeyStore final : public SettingsStore {
public:
    explicit UserKeyStore(const char* path) : path(path) {}
    std::optional<std::string> read(const char* key, unsigned buffer_size) const override;
    unsigned long write(const char* key, const char* value) override;

private:
    const char* path;
};

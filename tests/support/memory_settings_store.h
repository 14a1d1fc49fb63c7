#pragma once
#include <map>
#include <optional>
#include <string>

#include "savewin/settings_store_math.h"

// Settings stores in memory, free of Win32, for the tests of the settings
// rules and their fuzz target.

// A store that reads as the system's functions read, cut to the buffer, and
// refuses every write with its refusal while that is not 0.
class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::string> read(const char* key, unsigned buffer_size) const override {
        const auto found = values.find(key);
        if (found == values.end()) return std::nullopt;
        if (buffer_size == 0) return std::string();
        return found->second.substr(0, buffer_size - 1);
    }
    unsigned long write(const char* key, const char* value) override {
        ++writes;
        if (refusal) return refusal;
        if (value) values[key] = value;
        else values.erase(key);
        return 0;
    }

    std::map<std::string, std::string> values;
    unsigned long refusal = 0;
    int writes = 0;
};

// The profile with the section mapped to the per-user key: every call goes there.
class MappedProfile : public SettingsStore {
public:
    explicit MappedProfile(MemorySettingsStore& user) : user(user) {}
    std::optional<std::string> read(const char* key, unsigned buffer_size) const override {
        return user.read(key, buffer_size);
    }
    unsigned long write(const char* key, const char* value) override { return user.write(key, value); }

private:
    MemorySettingsStore& user;
};

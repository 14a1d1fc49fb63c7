#pragma once
#include <optional>
#include <string>

// Where a saver key is kept: the profile (control.ini, or what an ini-file
// mapping sends it to) or the per-user key. Both speak in the system's error
// codes, 0 for success, so the rules below need no Win32.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The key's value cut to buffer_size - 1 characters; nothing when the store
    // has no such key (or cannot be read).
    virtual std::optional<std::string> read(const char* key, unsigned buffer_size) const = 0;
    // A null value deletes the key; deleting a key that is not there succeeds.
    virtual unsigned long write(const char* key, const char* value) = 0;
};

// What a write of a value holding a line break returns: a profile value is one
// line, so it could not be read back whole.
constexpr unsigned long setting_not_one_line = 87;   // ERROR_INVALID_PARAMETER

// The per-user key answers first: it holds what could not reach the profile, or
// with the mapping it is the profile itself. A lone line break there, which no
// value can be, stands for a key deleted while the profile could not be
// written, and gives the fallback. An empty value is a value; earlier versions
// wrote one for a deleted key, and every key reads it as it reads its absence.
std::string read_setting(const SettingsStore& profile, const SettingsStore& user, const char* key,
                         const char* fallback, unsigned buffer_size);

// The profile first, as the saver always wrote; the per-user key only when the
// profile refuses. Returns 0, or the per-user key's error when both refuse.
// A value that holds a line break is stored nowhere.
unsigned long write_setting(SettingsStore& profile, SettingsStore& user, const char* key, const char* value);

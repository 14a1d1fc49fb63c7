#include "savewin/settings_store_math.h"

#include <cstring>

namespace {

// Long enough to see whether the profile holds a key at all.
constexpr unsigned whole_value = 32768;

}  // namespace

std::string read_setting(const SettingsStore& profile, const SettingsStore& user, const char* key,
                         const char* fallback, unsigned buffer_size) {
    if (buffer_size == 0) return {};
    if (const std::optional<std::string> mine = user.read(key, buffer_size)) {
        if (!mine->empty()) return *mine;
    } else if (const std::optional<std::string> theirs = profile.read(key, buffer_size)) {
        return *theirs;
    }
    std::string text = fallback ? fallback : "";
    if (text.size() >= buffer_size) text.resize(buffer_size - 1);
    return text;
}

unsigned long write_setting(SettingsStore& profile, SettingsStore& user, const char* key, const char* value) {
    if (profile.write(key, value) == 0) {
        // A value left in the per-user key from a refused write would hide this
        // one. With the mapping the profile write went to that very key, and
        // then it holds exactly this value and stays. One character more than
        // the value shows a longer one as longer.
        const unsigned whole = value ? static_cast<unsigned>(std::strlen(value)) + 2 : whole_value;
        const std::optional<std::string> stale = user.read(key, whole);
        if (!stale || (value && *stale == value)) return 0;
        return user.write(key, nullptr);
    }
    // An old control.ini may still hold the key being deleted: an empty value
    // hides it. Without one, nothing is left to hide.
    if (!value) return user.write(key, profile.read(key, whole_value) ? "" : nullptr);
    return user.write(key, value);
}

#include "savewin/settings_store_math.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* deleted_mark = "\n";
// Enough to tell the mark from a longer text, and a present profile key from
// an absent one (see ProfileStore::read).
constexpr unsigned mark_buffer = 3;

bool one_line(const char* value) { return !value || !std::strpbrk(value, "\r\n"); }

}  // namespace

std::string read_setting(const SettingsStore& profile, const SettingsStore& user, const char* key,
                         const char* fallback, unsigned buffer_size) {
    if (buffer_size == 0) return {};
    std::string text;
    if (std::optional<std::string> mine = user.read(key, std::max(buffer_size, mark_buffer))) {
        if (*mine != deleted_mark) text = std::move(*mine);
        else text = fallback ? fallback : "";
    } else if (std::optional<std::string> theirs = profile.read(key, buffer_size)) {
        return *theirs;
    } else {
        text = fallback ? fallback : "";
    }
    if (text.size() >= buffer_size) text.resize(buffer_size - 1);
    return text;
}

unsigned long write_setting(SettingsStore& profile, SettingsStore& user, const char* key, const char* value) {
    if (!one_line(value)) return setting_not_one_line;
    if (profile.write(key, value) == 0) {
        // A value left in the per-user key from a refused write would hide this
        // one. With the mapping the profile write went to that very key, and
        // then it holds exactly this value and stays. One character more than
        // the value shows a longer one as longer.
        const unsigned whole = value ? static_cast<unsigned>(std::strlen(value)) + 2 : mark_buffer;
        const std::optional<std::string> stale = user.read(key, whole);
        if (!stale || (value && *stale == value)) return 0;
        return user.write(key, nullptr);
    }
    // An old control.ini may still hold the key being deleted: the mark hides
    // it. Without one, nothing is left to hide.
    if (!value) return user.write(key, profile.read(key, mark_buffer) ? deleted_mark : nullptr);
    return user.write(key, value);
}

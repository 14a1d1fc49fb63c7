// The settings rules over stores in memory that refuse writes when told to:
// after every write each key reads what the write reported (the value when it
// succeeded, the old reading when it failed), at every buffer size, cut as the
// system's functions cut.
#include <map>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "savewin/settings.h"
#include "savewin/settings_store_math.h"
#include "support/memory_settings_store.h"

namespace {

const char* const keys[] = {settings::hide_mouse, settings::monitors, settings::password, settings::version};
constexpr int key_count = sizeof keys / sizeof keys[0];
const char* const fallback = "fallback";
constexpr unsigned long access_denied = 5;

// A value of up to 65,535 repeats of a short piece: long values cost a few bytes.
std::string value_from(FuzzInput& in) {
    const std::string piece = in.text(4);
    const unsigned repeats = in.number<uint16_t>();
    std::string value;
    if (piece.empty()) return value;
    value.reserve(piece.size() * repeats);
    for (unsigned i = 0; i < repeats; ++i) value += piece;
    return value;
}

// A stored value is one line of text: what the system's functions hand back
// stops at a NUL.
std::string c_text(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string cut(const std::string& text, unsigned buffer_size) {
    return buffer_size == 0 ? std::string() : text.substr(0, buffer_size - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    MemorySettingsStore file, user;
    MappedProfile mapping(user);
    const bool mapped = in.byte() & 1;
    SettingsStore& profile = mapped ? static_cast<SettingsStore&>(mapping) : file;

    // What each key reads with a buffer that holds it whole: from the
    // per-user key, then the profile, then the fallback; a lone line break
    // there marks a deleted key, and "" (what earlier versions wrote for one)
    // is the empty value.
    std::map<std::string, std::string> expected;
    for (const char* key : keys) {
        const uint8_t start = in.byte();
        if (!mapped && (start & 1)) file.values[key] = c_text(in.text(8));
        if (start & 2) user.values[key] = (start & 4) ? "" : c_text(in.text(8));
        const auto mine = user.values.find(key);
        const auto theirs = file.values.find(key);
        if (mine != user.values.end()) expected[key] = mine->second == "\n" ? fallback : mine->second;
        else if (!mapped && theirs != file.values.end()) expected[key] = theirs->second;
        else expected[key] = fallback;
    }

    while (!in.done()) {
        const uint8_t op = in.byte();
        file.refusal = (op & 1) ? access_denied : 0;
        user.refusal = (op & 2) ? access_denied : 0;
        const char* key = keys[(op >> 2) % key_count];
        const bool deletes = op & 0x40;
        const std::string value = c_text(value_from(in));
        const unsigned long result = write_setting(profile, user, key, deletes ? nullptr : value.c_str());

        const bool one_line = value.find_first_of("\r\n") == std::string::npos;
        if (!deletes && !one_line) FUZZ_CHECK(result == setting_not_one_line);
        if (result == 0) expected[key] = deletes ? fallback : value;
        // With the mapping both stores are one: if it refuses, so does the profile.
        if (!user.refusal && (!file.refusal || mapped) && (deletes || one_line)) FUZZ_CHECK(result == 0);

        for (const char* k : keys) {
            const std::string& whole = expected[k];
            const unsigned sizes[] = {0, 1, 2, 3, static_cast<unsigned>(whole.size()) + 1,
                                      static_cast<unsigned>(whole.size()) + 2, 1u + in.byte()};
            for (const unsigned buffer_size : sizes)
                FUZZ_CHECK(read_setting(profile, user, k, fallback, buffer_size) == cut(whole, buffer_size));
        }
    }
    return 0;
}

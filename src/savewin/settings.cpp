#include "savewin/settings.h"

#include <windows.h>
#include "savewin/settings_store.h"

namespace settings {

std::string read(const char* key, const char* fallback, unsigned buffer_size) {
    return read_setting(ProfileStore(file, section), UserKeyStore(user_key), key, fallback, buffer_size);
}

unsigned long write(const char* key, const char* value) {
    ProfileStore profile(file, section);
    UserKeyStore user(user_key);
    return write_setting(profile, user, key, value);
}

bool read_flag(const char* key, unsigned buffer_size) {
    return read(key, "no", buffer_size) == "yes";
}

unsigned long write_flag(const char* key, bool on) {
    return write(key, on ? "yes" : "no");
}

void flush() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
}

}  // namespace settings

#include "savewin/settings.h"

#include <windows.h>

namespace settings {

std::string read(const char* key, const char* fallback, unsigned buffer_size) {
    if (buffer_size == 0) return {};
    std::string buffer(buffer_size, '\0');
    const DWORD length = GetPrivateProfileStringA(section, key, fallback ? fallback : "",
                                                  &buffer[0], buffer_size, file);
    buffer.resize(length < buffer_size ? length : buffer_size - 1);
    return buffer;
}

void write(const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, file);
}

bool read_flag(const char* key, unsigned buffer_size) {
    return read(key, "no", buffer_size) == "yes";
}

void write_flag(const char* key, bool on) {
    write(key, on ? "yes" : "no");
}

void flush() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
}

}  // namespace settings

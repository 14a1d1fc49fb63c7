#include "savewin/settings_store.h"

#include <windows.h>
#include <cstring>
#include <vector>

namespace {

// A profile value is one line, so a default holding a line break tells an
// absent key from an empty one.
constexpr const char* absent_mark = "\n";

// A failed call that left no error code must still read as a failure.
unsigned long last_error() {
    const DWORD error = GetLastError();
    return error ? error : ERROR_WRITE_FAULT;
}

}  // namespace

std::optional<std::string> ProfileStore::read(const char* key, unsigned buffer_size) const {
    if (buffer_size == 0) return std::string();
    std::string buffer(buffer_size, '\0');
    const DWORD length = GetPrivateProfileStringA(section, key, absent_mark, &buffer[0], buffer_size, file);
    buffer.resize(length < buffer_size ? length : buffer_size - 1);
    if (buffer == absent_mark) return std::nullopt;
    return buffer;
}

unsigned long ProfileStore::write(const char* key, const char* value) {
    SetLastError(0);
    return WritePrivateProfileStringA(section, key, value, file) ? 0 : last_error();
}

std::optional<std::string> UserKeyStore::read(const char* key, unsigned buffer_size) const {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(handle, key, nullptr, &type, nullptr, &size);
    std::vector<char> data(size + 1, '\0');
    if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        result = RegQueryValueExA(handle, key, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    } else {
        result = ERROR_FILE_NOT_FOUND;   // a value of another type is no setting
    }
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS) return std::nullopt;
    std::string value(data.data(), strnlen(data.data(), size));
    if (buffer_size == 0) return std::string();
    if (value.size() >= buffer_size) value.resize(buffer_size - 1);
    return value;
}

unsigned long UserKeyStore::write(const char* key, const char* value) {
    HKEY handle = nullptr;
    LONG result;
    if (!value) {
        result = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &handle);
        if (result == ERROR_FILE_NOT_FOUND) return 0;
        if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
        result = RegDeleteValueA(handle, key);
        if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
    } else {
        result = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
        if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
        result = RegSetValueExA(handle, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                static_cast<DWORD>(std::strlen(value) + 1));
    }
    RegCloseKey(handle);
    return static_cast<unsigned long>(result);
}

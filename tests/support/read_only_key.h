#pragma once
// A key under HKEY_CURRENT_USER that refuses writes, the stand-in for settings
// that can be stored nowhere. Wine enforces the DACL, which also forbids
// deleting the key again, so it is made once and found locked later.
#include <windows.h>
#include <sddl.h>
#include <cstring>

// Creates the key (with one string value when a name is given) and lets
// everyone read it and no one write it. True when it refuses writes afterwards.
inline bool lock_user_key(const char* path, const char* name = nullptr, const char* value = "") {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE | WRITE_DAC, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        if (name)
            RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(std::strlen(value) + 1));
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &descriptor,
                                                                 nullptr)) {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            LocalFree(descriptor);
        }
        RegCloseKey(key);
    }
    const LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    return result == ERROR_ACCESS_DENIED;
}

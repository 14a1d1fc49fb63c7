// Makes a key under HKEY_CURRENT_USER refuse writes, for the scenarios where
// nothing can be written: creates it when missing and gives it a DACL that lets
// everyone read and no one write (nor delete it again).
//   registry_lock KEY
// Exit code 0 when the key refuses writes afterwards, 1 when it does not.
#include <windows.h>
#include <sddl.h>
#include <string>
#include <vector>
#include "support/command_words.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    std::vector<std::string> words = command_words(command_line);
    if (words.size() != 1) return 1;
    const char* path = words[0].c_str();
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
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
    return result == ERROR_ACCESS_DENIED ? 0 : 1;
}

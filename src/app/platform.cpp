#include "app/platform.h"

#include <windows.h>

Platform this_platform() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") ? Platform::wine : Platform::windows;
}

#pragma once
#include <windows.h>

// The settings dialog "SETUP"; 1 for OK, 0 for Cancel.
INT_PTR show_settings_dialog(HWND owner);
// The options dialog "REG_OPTIONS"; 1 after Save, 0 after Cancel.
INT_PTR show_options_dialog(HWND owner);

#pragma once
#include <windows.h>
#include "lib/refstring.h"

// The 11-character key that scrambles the stored password.
extern const char password_key[];

// The stored password, decoded and lower-cased; empty when absent or invalid.
String stored_password();
// The change-password dialog "SETUP_PASSWORD"; 1 after a successful OK.
INT_PTR show_change_password_dialog(HWND owner);

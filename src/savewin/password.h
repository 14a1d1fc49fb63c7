#pragma once
#include <windows.h>
#include "lib/refstring.h"

// The 11-character key that scrambles the stored password.
extern const char password_key[];

// The stored password, decoded and lower-cased; empty when absent or invalid.
String stored_password();
// The change-password dialog "SETUP_PASSWORD"; 1 after a successful OK.
INT_PTR show_change_password_dialog(HWND owner);
// The wake-up dialog "PASSWORD"; after OK (1) `entered` holds the typed text,
// lower-cased; after Cancel (0) it is empty.
INT_PTR ask_for_password(HWND owner, String& entered);

// The wake-up entry holds this many characters, so no longer password is accepted.
constexpr int max_password_length = 19;
// The longest password a stored value read into 256 characters can hold; the old
// password box takes this many, so a longer one written elsewhere can be removed.
constexpr int max_stored_password_length = (256 - 1 - 2) / 3;

// What OK in the change-password dialog leads to.
struct PasswordChange {
    enum Action { keep, store, remove };
    Action action;
    const char* message;    // the error to show; null when the change is accepted
    int focus;              // the control to correct after the message
};

// The checks of the change-password dialog, in their order. `protect` is the
// state of the check box, `stored` the decoded stored password; the entered
// texts are compared as given, so the caller lower-cases them.
PasswordChange check_password_change(bool protect, const String& stored, const String& old_text,
                                     const String& new_text, const String& retyped);

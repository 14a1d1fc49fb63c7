// The wake-up password dialog and the saver window's use of it.
#include "app/application.h"
#include "res/resource.h"
#include "savewin/dialogs.h"
#include "savewin/password.h"
#include "savewin/saver_window.h"

namespace {

// The text typed at wake-up; the edit box is limited to one character less.
struct PasswordEntry {
    char text[max_password_length + 1];
};
constexpr int caption_buffer_size = 128;

void set_up_entry(HWND dialog, LPARAM entry) {
    SetWindowLongPtrA(dialog, DWLP_USER, entry);
    add_version_to_caption(dialog, caption_buffer_size);
    SendDlgItemMessageA(dialog, IDC_PASSWORD_ENTRY, EM_LIMITTEXT, max_password_length, 0);
    SendDlgItemMessageA(dialog, IDC_PASSWORD_ENTRY, EM_SETPASSWORDCHAR, '*', 0);
}

void take_entry(HWND dialog) {
    auto* entry = reinterpret_cast<PasswordEntry*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (entry) GetDlgItemTextA(dialog, IDC_PASSWORD_ENTRY, entry->text, sizeof entry->text);
}

INT_PTR CALLBACK password_entry_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        set_up_entry(dialog, lparam);
        return TRUE;
    case WM_SYSCOMMAND:
        // Swallowed, so Alt+F4 cannot get past the dialog.
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            take_entry(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR ask_for_password(HWND owner, String& entered) {
    PasswordEntry entry{};
    INT_PTR result = DialogBoxParamA(app.instance, "PASSWORD", owner, password_entry_procedure,
                                     reinterpret_cast<LPARAM>(&entry));
    // A dialog that could not be shown (-1) counts as cancelled.
    if (result != 1) {
        entered = String();
        return 0;
    }
    entered = String(entry.text);
    entered.to_lower();
    return 1;
}

void SaverWindow::ask_password() {
    drawing = 0;
    if (cursor_hidden) show_cursor(true);
    dialog_open = true;

    String entered;
    if (ask_for_password(hwnd, entered) && entered == password) {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    } else {
        // A wrong password is not reported: the saver simply goes on.
        InvalidateRect(hwnd, nullptr, FALSE);
    }

    if (cursor_hidden) show_cursor(false);
    dialog_open = false;
    GetCursorPos(&initial_cursor);
    drawing = 1;
}

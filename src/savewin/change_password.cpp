// The change-password dialog: sets, changes or removes the stored password.
#include <initializer_list>
#include "app/application.h"
#include "res/resource.h"
#include "savewin/dialogs.h"
#include "savewin/password.h"
#include "savewin/settings.h"

namespace {

void enable_controls(HWND dialog, std::initializer_list<int> ids, bool enabled) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enabled);
}

bool protect_checked(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_PROTECTED) == BST_CHECKED;
}

// The whole text of an edit box, lower-cased; longer texts than the box's limit
// (set through WM_SETTEXT) are read whole so the length check sees them.
String lower_text(HWND dialog, int id) {
    String text(window_text(GetDlgItem(dialog, id)).c_str());
    text.to_lower();
    return text;
}

void set_up_change(HWND dialog) {
    // Checked exactly when a readable password is stored: a value that does not
    // decode protects nothing, and the box must not claim otherwise.
    bool protect = !stored_password().empty();
    CheckDlgButton(dialog, IDC_PROTECTED, protect ? BST_CHECKED : BST_UNCHECKED);
    enable_controls(dialog, {IDC_OLD_LABEL, IDC_OLD_PASSWORD, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD},
                    protect);
    SendDlgItemMessageA(dialog, IDC_OLD_PASSWORD, EM_LIMITTEXT, max_stored_password_length, 0);
    SendDlgItemMessageA(dialog, IDC_NEW_PASSWORD, EM_LIMITTEXT, max_password_length, 0);
    SendDlgItemMessageA(dialog, IDC_RETYPE_PASSWORD, EM_LIMITTEXT, max_password_length, 0);
    for (int id : {IDC_OLD_PASSWORD, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD}) SetDlgItemTextA(dialog, id, "");
}

// The old-password label and box keep the state they got at initialisation.
void protect_clicked(HWND dialog) {
    enable_controls(dialog, {IDC_NEW_LABEL, IDC_RETYPE_LABEL, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD},
                    protect_checked(dialog));
}

void confirm_change(HWND dialog) {
    bool protect = protect_checked(dialog);
    String new_text = protect ? lower_text(dialog, IDC_NEW_PASSWORD) : String();
    PasswordChange change =
        check_password_change(protect, stored_password(), lower_text(dialog, IDC_OLD_PASSWORD), new_text,
                              protect ? lower_text(dialog, IDC_RETYPE_PASSWORD) : String());
    if (change.message) {
        // Owned by the dialog, so that it shows above it, also over a topmost span window.
        MessageBoxA(dialog, change.message, input_error_caption, MB_ICONERROR);
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, change.focus)), TRUE);
        return;
    }
    unsigned long error = 0;
    if (change.action == PasswordChange::store) {
        new_text.encode(password_key);
        error = settings::write(settings::password, new_text.text());
    } else if (change.action == PasswordChange::remove) {
        error = settings::write(settings::password, nullptr);
    }
    // A password the user believes set but that was not stored protects nothing.
    if (error) {
        show_not_saved(dialog, "The password was not saved.", error);
        EndDialog(dialog, 0);
        return;
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK change_password_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        set_up_change(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wparam)) {
    case IDC_PROTECTED:
        protect_clicked(dialog);
        return TRUE;
    case IDOK:
        confirm_change(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR show_change_password_dialog(HWND owner) {
    return DialogBoxParamA(app.instance, "SETUP_PASSWORD", owner, change_password_procedure, 0);
}

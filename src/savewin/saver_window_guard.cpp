// The saver window against other programs: one that takes the foreground (the
// Windows key opening Start, a program activating itself, a notification)
// wakes the saver, so that it neither draws on unseen nor leaves a protected
// desktop usable.
#include "app/application.h"
#include "res/resource.h"
#include "savewin/saver_window.h"

namespace {

// The wake-up password dialog over the saver window, when it asks.
HWND password_dialog_over(HWND saver) {
    HWND popup = GetLastActivePopup(saver);
    return popup != saver && GetDlgItem(popup, IDC_PASSWORD_ENTRY) ? popup : nullptr;
}

}  // namespace

LRESULT SaverWindow::dispatch(MessageRecord& record) {
    // Only a window of another process sends the saver's program to the
    // background: its own dialogs activate within its thread. Until the saver
    // was active once, the changes are those of its own start.
    if (record.message == WM_ACTIVATEAPP) {
        if (record.wparam) {
            been_active = true;
        } else if (been_active) {
            PostMessageA(hwnd, foreground_lost, 0, 0);
        }
    }
    return FrameWindow::dispatch(record);
}

void SaverWindow::other_program_active() {
    // A dialog of the saver's own is up. The password dialog stays in front,
    // so that no other program is used past the saver.
    if (dialog_open) {
        if (HWND dialog = password_dialog_over(hwnd)) {
            SetForegroundWindow(dialog);
            return;
        }
        // With a password, the options dialog must not leave the desktop in
        // reach: it ends as Cancel (a box or dialog over it first, one a
        // round) and the notice comes again, to ask once it is gone.
        HWND popup = GetLastActivePopup(hwnd);
        if (password.empty() || !popup || popup == hwnd) return;
        PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(hwnd, foreground_lost, 0, 0);
        return;
    }
    // The password dialog must be reachable: the saver takes the foreground
    // back first, and the dialog, owned by it, opens above it.
    if (!password.empty()) SetForegroundWindow(hwnd);
    wake();
}

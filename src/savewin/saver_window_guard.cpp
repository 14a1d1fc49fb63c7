// The saver window against other programs: one that takes the foreground (the
// Windows key opening Start, a program activating itself, a notification)
// wakes the saver, so that it neither draws on unseen nor leaves a protected
// desktop usable.
#include "app/application.h"
#include "savewin/saver_window.h"

LRESULT SaverWindow::dispatch(MessageRecord& record) {
    if (record.message == WM_ACTIVATEAPP) {
        // Only a window of another process sends the saver's program to the
        // background: its own dialogs activate within its thread. A dialog of
        // its own that is open asks the user already.
        if (record.wparam) {
            been_active = true;
        } else if (been_active && !dialog_open) {
            PostMessageA(hwnd, foreground_lost, 0, 0);
        }
    }
    return FrameWindow::dispatch(record);
}

void SaverWindow::other_program_active() {
    // A dialog opened since the change was posted asks the user already.
    if (dialog_open) return;
    // The password dialog must be reachable: the saver takes the foreground
    // back first, and the dialog, owned by it, opens above it.
    if (!password.empty()) SetForegroundWindow(hwnd);
    wake();
}

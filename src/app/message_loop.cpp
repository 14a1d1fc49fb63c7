#include "app/application.h"
#include "framework/window.h"

// Polls while the main window's idle hook asks for it, then blocks in GetMessageA.
void Application::message_loop() {
    HWND main = main_window ? main_window->hwnd : nullptr;
    ShowWindow(main, show_command);
    UpdateWindow(main);
    MSG message{};
    bool polling = true;
    for (;;) {
        if (polling) {
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                polling = main_window && main_window->idle();
                continue;
            }
            if (message.message == WM_QUIT) break;
        } else {
            const BOOL got = GetMessageA(&message, nullptr, 0, 0);
            if (got == 0) break;
            if (got < 0) {
                message.wParam = failure_exit_code;
                break;
            }
        }
        if (accelerators && TranslateAcceleratorA(main, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    exit_code = static_cast<uint32_t>(message.wParam);
}

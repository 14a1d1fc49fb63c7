// Stands in for the other programs on a Windows desktop that the saver must
// guard against, for the scenarios of the saver among other programs:
//   desktop_stand_in OUTPUT MODE HOLD_MS
// MODE "taskbar": a topmost strip along the bottom of the second monitor, as
//   the taskbar that Windows gives each monitor; it never takes the activation.
// MODE "foreground": a window that takes the foreground from whoever has it,
//   as a program activating itself or the Start menu does.
// MODE "settings": a window that stands in for the Screen Saver Settings,
//   whose handle the scenario passes to "/c:HANDLE".
// The window lives HOLD_MS milliseconds. OUTPUT gets "name value" lines:
//   handle N                   the window's handle (written first)
//   window LEFT TOP            its top left corner on the screen
//   client LEFT TOP            its client area's origin on the screen
//   foreground 0|1             (foreground) whether it got the foreground
//   saver_gone_ms N            (foreground) how long after it asked for the
//                              foreground the saver window was gone, -1 when
//                              it stayed for the whole time
//   enabled 0|1                (settings) each change of its enabled state
// Exit code 0 once the window ran its time, 1 for bad arguments.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "support/command_words.h"

namespace {

constexpr const char* taskbar_class = "QuorixTaskbarStandIn";
constexpr const char* foreground_class = "QuorixForegroundStandIn";
constexpr const char* settings_class = "QuorixSettingsStandIn";
// The second monitor of the two-monitor display: 640 x 480 right of the primary.
constexpr RECT taskbar_rect{800, 440, 1440, 480};

FILE* output = nullptr;

void report(const char* name, long value) {
    std::fprintf(output, "%s %ld\n", name, value);
    std::fflush(output);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ENABLE) report("enabled", wparam ? 1 : 0);
    if (message == WM_MOUSEACTIVATE && GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE)
        return MA_NOACTIVATE;
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_window(HINSTANCE instance, const std::string& mode) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    if (mode == "taskbar") {
        window_class.lpszClassName = taskbar_class;
        RegisterClassA(&window_class);
        const RECT& r = taskbar_rect;
        HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, taskbar_class,
                                      "Quorix Taskbar Stand-In", WS_POPUP, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, nullptr, nullptr, instance, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        return window;
    }
    const bool settings = mode == "settings";
    window_class.lpszClassName = settings ? settings_class : foreground_class;
    RegisterClassA(&window_class);
    return CreateWindowExA(0, window_class.lpszClassName,
                           settings ? "Quorix Settings Stand-In" : "Quorix Foreground Stand-In",
                           WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 200, 150, 300, 200, nullptr, nullptr,
                           instance, nullptr);
}

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Takes the foreground and waits (at most two seconds) until it has it. A
// saver whose password dialog asks may take it back before the first look,
// so the system's yes to the request counts too.
bool take_foreground(HWND window) {
    const bool granted = SetForegroundWindow(window) != FALSE;
    for (int waited = 0; waited < 200 && GetForegroundWindow() != window; ++waited) {
        pump();
        Sleep(10);
    }
    return granted || GetForegroundWindow() == window;
}

// Pumps the window's messages for the time given; when asked, watches every
// 10 ms for the saver window and returns when it went, -1 when it stayed.
long hold(DWORD milliseconds, DWORD start, bool watch_saver) {
    long gone = -1;
    for (DWORD passed = GetTickCount() - start; passed < milliseconds; passed = GetTickCount() - start) {
        const DWORD wait = watch_saver && gone < 0 ? 10 : milliseconds - passed;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        pump();
        if (watch_saver && gone < 0 && !FindWindowA("WindowsScreenSaverClass", nullptr))
            gone = static_cast<long>(GetTickCount() - start);
    }
    return gone;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    const std::vector<std::string> words = command_words(command_line);
    if (words.size() < 3) return 1;
    const std::string& mode = words[1];
    if (mode != "taskbar" && mode != "foreground" && mode != "settings") return 1;
    output = std::fopen(words[0].c_str(), "w");
    if (!output) return 1;
    HWND window = make_window(instance, mode);
    if (!window) return 1;
    UpdateWindow(window);
    report("handle", static_cast<long>(reinterpret_cast<uintptr_t>(window)));
    RECT frame{};
    GetWindowRect(window, &frame);
    std::fprintf(output, "window %ld %ld\n", frame.left, frame.top);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::fprintf(output, "client %ld %ld\n", origin.x, origin.y);
    std::fflush(output);
    const DWORD hold_ms = static_cast<DWORD>(std::strtoul(words[2].c_str(), nullptr, 10));
    const DWORD start = GetTickCount();
    if (mode == "foreground") {
        report("foreground", take_foreground(window) ? 1 : 0);
        report("saver_gone_ms", hold(hold_ms, start, true));
    } else {
        hold(hold_ms, start, false);
    }
    DestroyWindow(window);
    std::fclose(output);
    return 0;
}

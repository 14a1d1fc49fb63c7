// Stands in for the screen saver settings in the preview scenarios: a window
// with a 152 x 112 client area in a colour of its own, whose handle it passes
// to "SAVER /p HANDLE", as Windows does for its preview.
//   preview_host OUTPUT HOLD_MS SAVER HANDLE [ARGUMENT...]
// HANDLE "self" passes the window's handle, "none" passes nothing after "/p",
// anything else is passed as it is. The window lives HOLD_MS milliseconds and
// is then destroyed. OUTPUT gets one "name value" line each:
//   client LEFT TOP WIDTH HEIGHT   the client area on the screen (written first)
//   started 0|1                    the saver process could be started
//   ended_during_hold_ms N         when it ended by itself, else -1
//   ended_after_destroy_ms N       how long after the destruction it ended, -1
//                                  when it had ended before, "late" after 5 s
//   exit N                         the saver's exit code
// Exit code 0 once the window ran its time, 1 for bad arguments.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "support/command_words.h"

namespace {

constexpr int client_width = 152;
constexpr int client_height = 112;
// No effect colour is likely to be exactly this one.
constexpr COLORREF background = RGB(37, 201, 113);
constexpr DWORD late_ms = 5000;
constexpr const char* class_name = "QuorixPreviewHost";
constexpr const char* title = "Quorix Preview Host";

HWND make_window(HINSTANCE instance, HBRUSH brush) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = brush;
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    RECT frame{0, 0, client_width, client_height};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, class_name, title, style | WS_VISIBLE, 60, 60,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    if (window) UpdateWindow(window);
    return window;
}

// Pumps the window's messages until the time is over; returns how many
// milliseconds after the start the process ended, or -1 when it still runs.
long hold(HANDLE process, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    long ended = -1;
    for (;;) {
        const DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds) return ended;
        const bool watching = process && ended < 0;
        const DWORD woke = watching
            ? MsgWaitForMultipleObjects(1, &process, FALSE, milliseconds - passed, QS_ALLINPUT)
            : MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_ALLINPUT);
        if (watching && woke == WAIT_OBJECT_0) ended = static_cast<long>(GetTickCount() - start);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    const std::vector<std::string> words = command_words(command_line);
    if (words.size() < 4) return 1;
    FILE* output = std::fopen(words[0].c_str(), "w");
    if (!output) return 1;
    const DWORD hold_ms = static_cast<DWORD>(std::strtoul(words[1].c_str(), nullptr, 10));

    HBRUSH brush = CreateSolidBrush(background);
    HWND window = make_window(instance, brush);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::fprintf(output, "client %ld %ld %d %d\n", origin.x, origin.y, client_width, client_height);
    std::fflush(output);

    std::string line = "\"" + words[2] + "\" /p";
    if (words[3] == "self") {
        line += " " + std::to_string(reinterpret_cast<uintptr_t>(window));
    } else if (words[3] != "none") {
        line += " " + words[3];
    }
    for (size_t i = 4; i < words.size(); ++i) line += " " + words[i];

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    const bool started = CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process) != 0;
    std::fprintf(output, "started %d\n", started ? 1 : 0);
    std::fflush(output);

    const long ended_ms = hold(started ? process.hProcess : nullptr, hold_ms);
    const bool ended = ended_ms >= 0;
    std::fprintf(output, "ended_during_hold_ms %ld\n", ended_ms);

    const DWORD destroyed = GetTickCount();
    DestroyWindow(window);
    if (!started) {
        std::fprintf(output, "ended_after_destroy_ms -1\nexit -1\n");
    } else {
        if (ended) {
            std::fprintf(output, "ended_after_destroy_ms -1\n");
        } else if (WaitForSingleObject(process.hProcess, late_ms) == WAIT_OBJECT_0) {
            std::fprintf(output, "ended_after_destroy_ms %lu\n", GetTickCount() - destroyed);
        } else {
            std::fprintf(output, "ended_after_destroy_ms late\n");
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, late_ms);
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        std::fprintf(output, "exit %lu\n", code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    std::fclose(output);
    DeleteObject(brush);
    return 0;
}

// A small window for proving the end-to-end harness: it paints itself a known
// colour, records its command line in TEMP and in control.ini, and ends with
// exit code 3 when Escape is pressed.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr COLORREF probe_colour = RGB(200, 40, 90);
constexpr UINT exit_on_escape = 3;

LRESULT CALLBACK probe_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wparam == VK_ESCAPE) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(exit_on_escape);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

void record_command_line(const char* command_line) {
    WritePrivateProfileStringA("Quorix Probe", "command line", command_line, "control.ini");
    const char* temp = std::getenv("TEMP");
    if (!temp) return;
    std::string path = std::string(temp) + "\\probe.txt";
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fprintf(file, "%s\n", command_line);
        std::fclose(file);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    record_command_line(command_line);
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = probe_procedure;
    window_class.hInstance = instance;
    window_class.hbrBackground = CreateSolidBrush(probe_colour);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = "QuorixHarnessProbe";
    RegisterClassA(&window_class);
    HWND hwnd = CreateWindowExA(0, window_class.lpszClassName, "Quorix Harness Probe",
                                WS_POPUP | WS_VISIBLE, 10, 10, 200, 150,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DeleteObject(window_class.hbrBackground);
    return static_cast<int>(message.wParam);
}

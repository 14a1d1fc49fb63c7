// Holds a file open with no sharing, so that nothing can write, rename or
// delete it: the file that an installer can neither replace nor put aside.
//   file_lock PATH
// Shows a small window titled "Quorix File Lock" while it holds the file and
// ends, closing it, on Escape. Exit code 0 after holding it, 1 when the file
// could not be opened.
#include <windows.h>
#include <string>
#include <vector>
#include "support/command_words.h"

namespace {

LRESULT CALLBACK lock_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wparam == VK_ESCAPE) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    std::vector<std::string> words = command_words(command_line);
    if (words.size() != 1) return 1;
    HANDLE file = CreateFileA(words[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;

    WNDCLASSA window_class{};
    window_class.lpfnWndProc = lock_procedure;
    window_class.hInstance = instance;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    window_class.lpszClassName = "QuorixFileLock";
    RegisterClassA(&window_class);
    HWND hwnd = CreateWindowExA(0, window_class.lpszClassName, "Quorix File Lock", WS_POPUP | WS_VISIBLE,
                                0, 0, 120, 40, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseHandle(file);
    return 0;
}

#pragma once
// Reading what a window shows, also across processes (WM_GETTEXT reaches a
// control of another program, GetWindowTextA does not).
#include <windows.h>
#include <string>

inline std::string text_of(HWND window) {
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// The text of a message box: its static controls that are not icons.
inline std::string message_text(HWND box) {
    std::string found;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(child, name, sizeof name);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (lstrcmpiA(name, "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) found += text_of(child);
    }
    return found;
}

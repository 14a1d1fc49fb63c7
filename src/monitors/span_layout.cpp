#include "monitors/span_layout.h"

CoverRect current_virtual_screen() {
    const int32_t left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int32_t top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void lay_over(HWND window, const CoverRect& screen) {
    SetWindowPos(window, nullptr, screen.left, screen.top, screen.right - screen.left + 1,
                 screen.bottom - screen.top + 1, SWP_NOZORDER | SWP_NOACTIVATE);
}

#include "savewin/monitor_covers.h"

#include "app/application.h"
#include "savewin/cover_layout_math.h"

namespace {

constexpr DWORD cover_ex_style = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

BOOL CALLBACK collect_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<CoverRect>*>(list)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}

// Mouse input goes to the saver window in its own client coordinates, so its
// wake rules (which read the cursor in screen coordinates) apply unchanged.
void forward_mouse(HWND cover, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND saver = GetWindow(cover, GW_OWNER);
    if (!saver) return;
    POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    ClientToScreen(cover, &point);
    ScreenToClient(saver, &point);
    SendMessageA(saver, message, wparam, MAKELPARAM(point.x, point.y));
}

LRESULT CALLBACK cover_procedure(HWND cover, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) {
        forward_mouse(cover, message, wparam, lparam);
        return 0;
    }
    switch (message) {
    case WM_NCHITTEST:
        // The effect draws while no message waits for the saver window itself,
        // so mouse input for a cover would wait until the effect ends. The hit
        // test runs as soon as the effect looks for messages: a posted no-op for
        // the saver window ends the frame loop and lets the input through.
        PostMessageA(GetWindow(cover, GW_OWNER), WM_NULL, 0, 0);
        return HTCLIENT;
    case WM_MOUSEACTIVATE:
        // A click must leave the saver window active and holding the keys.
        return MA_NOACTIVATE;
    case WM_SETCURSOR:
        // No class cursor: the cover shows whatever the saver window chose,
        // hidden while "hide mouse" hides it.
        SetCursor(cursor_hidden && !dialog_open ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    default:
        return DefWindowProcA(cover, message, wparam, lparam);
    }
}

void register_cover_class() {
    WNDCLASSA existing{};
    if (GetClassInfoA(app.instance, MonitorCovers::class_name, &existing)) return;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = cover_procedure;
    window_class.hInstance = app.instance;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = MonitorCovers::class_name;
    RegisterClassA(&window_class);
}

}  // namespace

MonitorCovers::MonitorCovers(HWND saver_window) : saver(saver_window) {
    register_cover_class();
    layout();
}

MonitorCovers::~MonitorCovers() {
    destroy_all();
}

void MonitorCovers::destroy_all() {
    for (HWND cover : windows) {
        if (IsWindow(cover)) DestroyWindow(cover);
    }
    windows.clear();
}

void MonitorCovers::layout() {
    destroy_all();
    if (!saver) return;
    std::vector<CoverRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&monitors));
    RECT window{};
    GetWindowRect(saver, &window);
    const CoverRect saver_rect{window.left, window.top, window.right, window.bottom};
    for (const CoverRect& r : cover_layout(monitors, saver_rect)) {
        HWND cover = CreateWindowExA(cover_ex_style | (topmost ? WS_EX_TOPMOST : 0), class_name,
                                     nullptr, WS_POPUP, r.left, r.top, r.right - r.left,
                                     r.bottom - r.top, saver, nullptr, app.instance, nullptr);
        if (!cover) continue;
        windows.push_back(cover);
        if (shown) ShowWindow(cover, SW_SHOWNOACTIVATE);
    }
}

void MonitorCovers::show() {
    shown = true;
    for (HWND cover : windows) ShowWindow(cover, SW_SHOWNOACTIVATE);
}

void MonitorCovers::set_topmost(bool on_top) {
    topmost = on_top;
    for (HWND cover : windows) {
        SetWindowPos(cover, on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

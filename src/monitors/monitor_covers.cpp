#include "monitors/monitor_covers.h"

#include "app/application.h"
#include "framework/input_context.h"
#include "monitors/cover_layout_math.h"
#include "monitors/monitor_layout_math.h"

namespace {

constexpr DWORD cover_ex_style = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;

// The saver window a cover serves, kept in the cover's user data.
HWND saver_of(HWND cover) {
    return reinterpret_cast<HWND>(GetWindowLongPtrA(cover, GWLP_USERDATA));
}

bool is_wheel(UINT message) { return message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL; }

// Mouse input goes to the saver window as if it came there: in its client
// coordinates, wheels in screen coordinates, so its wake rules apply unchanged.
void forward_mouse(HWND cover, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND saver = saver_of(cover);
    if (!saver) return;
    if (is_wheel(message)) {
        SendMessageA(saver, message, wparam, lparam);
        return;
    }
    POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    ClientToScreen(cover, &point);
    ScreenToClient(saver, &point);
    SendMessageA(saver, message, wparam, MAKELPARAM(point.x, point.y));
}

LRESULT CALLBACK cover_procedure(HWND cover, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message >= WM_MOUSEMOVE && message <= WM_MOUSEHWHEEL) {
        forward_mouse(cover, message, wparam, lparam);
        return 0;
    }
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(cover, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
        return DefWindowProcA(cover, message, wparam, lparam);
    case WM_NCHITTEST:
        // The effect draws while no message waits for the saver window itself,
        // so mouse input for a cover would wait until the effect ends. The hit
        // test runs as soon as the effect looks for messages: a posted no-op for
        // the saver window ends the frame loop and lets the input through.
        PostMessageA(saver_of(cover), WM_NULL, 0, 0);
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

// Mirrors behave as covers; their own class tells them apart. They are drawn
// on at every showing, and a context of their own spares making one each time.
void register_cover_class(const char* name, UINT style) {
    WNDCLASSA existing{};
    if (GetClassInfoA(app.instance, name, &existing)) return;
    WNDCLASSA window_class{};
    window_class.style = style;
    window_class.lpfnWndProc = cover_procedure;
    window_class.hInstance = app.instance;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = name;
    RegisterClassA(&window_class);
}

}  // namespace

MonitorCovers::MonitorCovers(HWND saver_window, Kind kind, const std::vector<CoverRect>& monitors)
    : saver(saver_window), kind(kind) {
    if (kind == Kind::mirrors)
        register_cover_class(mirror_class_name, CS_OWNDC);
    else
        register_cover_class(class_name, 0);
    layout(monitors);
}

MonitorCovers::~MonitorCovers() { destroy_all(); }

void MonitorCovers::destroy_all() {
    for (HWND cover : windows) {
        if (IsWindow(cover)) DestroyWindow(cover);
    }
    windows.clear();
    rects.clear();
}

void MonitorCovers::layout(const std::vector<CoverRect>& monitors) {
    if (!saver) return;
    RECT window{};
    GetWindowRect(saver, &window);
    // Without the saver window's extra column and row: they lie on a monitor
    // beside or below the primary, and only a cover keeps that monitor's
    // taskbar below there too, as the saver window keeps the normal band
    // without "stay on top".
    const CoverRect saver_rect{window.left, window.top, window.right - 1, window.bottom - 1};
    const std::vector<CoverRect> wanted =
        kind == Kind::mirrors ? mirror_layout(monitors, saver_rect) : cover_layout(monitors, saver_rect);
    // Recreating unchanged covers would only make them flicker.
    bool all_alive = true;
    for (HWND cover : windows) all_alive = all_alive && IsWindow(cover);
    if (all_alive && wanted == rects) return;
    destroy_all();
    for (const CoverRect& r : wanted) {
        HWND cover = CreateWindowExA(cover_ex_style, kind == Kind::mirrors ? mirror_class_name : class_name,
                                     nullptr, WS_POPUP, r.left, r.top, r.right - r.left,
                                     r.bottom - r.top, saver, nullptr, app.instance, saver);
        if (!cover) continue;
        remove_input_context(cover);
        windows.push_back(cover);
        rects.push_back(r);
        if (shown) ShowWindow(cover, SW_SHOWNOACTIVATE);
    }
}

void MonitorCovers::show() {
    shown = true;
    for (HWND cover : windows) ShowWindow(cover, SW_SHOWNOACTIVATE);
}

void MonitorCovers::raise() {
    for (HWND cover : windows) {
        SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void MonitorCovers::keep_below(HWND dialog) {
    // Placed after a window of the normal band, a cover would leave the topmost band.
    if (!(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST)) return;
    bool cover_above = false;
    for (HWND above = GetWindow(dialog, GW_HWNDPREV); above && !cover_above;
         above = GetWindow(above, GW_HWNDPREV)) {
        for (HWND cover : windows) cover_above = cover_above || cover == above;
    }
    // Only when needed: a move of the covers would make the dialog idle again.
    if (!cover_above) return;
    for (HWND cover : windows) {
        SetWindowPos(cover, dialog, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void MonitorCovers::set_owner(HWND owner) {
    for (HWND cover : windows) SetWindowLongPtrA(cover, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

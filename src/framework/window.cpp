#include "framework/window.h"

#include <cstdlib>
#include "app/application.h"

CreationParameters creation_parameters{};

namespace {

// Messages reach the object only after create has subclassed the window.
LRESULT CALLBACK framework_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = Window::from_handle(hwnd);
    if (!window) return 0;
    MessageRecord record{message, wparam, lparam, 0};
    return window->dispatch(record);
}

// CW_USEDEFAULT stands for a whole default rectangle; anything else spans the
// inclusive bounds, computed wide so far-apart bounds cannot overflow.
int span(int32_t from, int32_t to) {
    if (from == static_cast<int32_t>(CW_USEDEFAULT)) return CW_USEDEFAULT;
    const int64_t extent = static_cast<int64_t>(to) - from + 1;
    if (extent < 0) return 0;
    return extent > INT32_MAX ? INT32_MAX : static_cast<int>(extent);
}

}  // namespace

bool points_far_apart(POINT from, POINT to) {
    const int64_t dx = std::llabs(static_cast<int64_t>(to.x) - from.x);
    const int64_t dy = std::llabs(static_cast<int64_t>(to.y) - from.y);
    return dx > 19 || dy > 19;
}

Window::Window(const char* class_name) {
    CreationParameters& p = creation_parameters;
    p.window_class = WNDCLASSA{};
    p.window_class.style = CS_HREDRAW | CS_VREDRAW;
    p.window_class.lpfnWndProc = DefWindowProcA;
    p.window_class.cbClsExtra = 0;
    p.window_class.cbWndExtra = extra_bytes;
    p.window_class.hInstance = app.instance;
    p.window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    p.window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    p.window_class.lpszMenuName = nullptr;
    p.window_class.lpszClassName = class_name ? class_name : default_class_name;
    p.title = nullptr;
    p.style = 0;
    p.ex_style = 0;
    p.left = static_cast<int32_t>(CW_USEDEFAULT);
    p.top = static_cast<int32_t>(CW_USEDEFAULT);
    p.right = 0;
    p.bottom = 0;
    p.parent = nullptr;
    p.menu = nullptr;
    p.parameter = nullptr;
    p.parent_handle = nullptr;
}

Window::~Window() {
    if (hwnd && IsWindow(hwnd) && from_handle(hwnd) == this) SetWindowLongPtrA(hwnd, 0, 0);
}

bool Window::create(const char* title) {
    CreationParameters& p = creation_parameters;
    if (title) p.title = title;
    const char* name = p.window_class.lpszClassName;
    WNDCLASSA existing{};
    if (!GetClassInfoA(p.window_class.hInstance, name, &existing) &&
        !GetClassInfoA(nullptr, name, &existing)) {
        RegisterClassA(&p.window_class);
    }
    hwnd = CreateWindowExA(p.ex_style, name, p.title, p.style, p.left, p.top,
                           span(p.left, p.right), span(p.top, p.bottom),
                           p.parent ? p.parent->hwnd : p.parent_handle, p.menu,
                           p.window_class.hInstance, p.parameter);
    if (!hwnd) return false;
    previous_procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    // The pointer goes in before the procedure, so the first routed message finds it.
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&framework_procedure));
    return true;
}

Window* Window::from_handle(HWND handle) {
    if (!handle) return nullptr;
    // Extra word 0 of a window that is not ours may hold anything.
    DWORD process = 0;
    GetWindowThreadProcessId(handle, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(handle, GWLP_WNDPROC));
    if (procedure != &framework_procedure) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(handle, 0));
}

void Window::show_cursor(bool show) {
    SetCursor(show ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
}

bool Window::moved_far(POINT point) {
    POINT now{};
    GetCursorPos(&now);
    return points_far_apart(point, now);
}

void Window::destroy() {
    DestroyWindow(hwnd);
}

LRESULT Window::dispatch(MessageRecord& record) {
    if (route(record)) return record.result;
    return CallWindowProcA(previous_procedure, hwnd, record.message, record.wparam, record.lparam);
}

bool Window::route(MessageRecord& record) {
    const WPARAM w = record.wparam;
    const LPARAM l = record.lparam;
    switch (record.message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return false;
    case WM_MOVE:
        return on_move(LOWORD(l), HIWORD(l));
    case WM_SIZE: {
        RECT client{};
        GetClientRect(hwnd, &client);
        client.right = client.left + LOWORD(l);
        client.bottom = client.top + HIWORD(l);
        return on_size(&client, w);
    }
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        return on_activate(LOWORD(w), HIWORD(w));
    case WM_SETFOCUS:
        return on_set_focus(from_handle(reinterpret_cast<HWND>(w)));
    case WM_KILLFOCUS:
        return on_kill_focus(from_handle(reinterpret_cast<HWND>(w)));
    case WM_ENABLE:
        return on_enable(static_cast<int>(w));
    case WM_PAINT:
        return on_paint();
    case WM_CLOSE:
        return on_close();
    case WM_SYSCOLORCHANGE:
    case WM_NCACTIVATE:
    case 0x8000:
        return false;
    case WM_COMMAND:
        return on_command(LOWORD(w), HIWORD(w));
    case WM_SYSCOMMAND:
        // A screen saver must neither start another saver nor be closed from the system menu.
        if (w == SC_SCREENSAVE || w == SC_CLOSE) {
            record.result = 0;
            return true;
        }
        return on_command(LOWORD(w), 0);
    case WM_TIMER:
        return on_timer(w);
    case WM_INITMENU: {
        HMENU menu = reinterpret_cast<HMENU>(w);
        return on_init_menu(&menu);
    }
    case WM_MENUSELECT:
        return on_menu_select(LOWORD(w), static_cast<int16_t>(HIWORD(w)));
    default:
        return route_input(record);
    }
}

// Keyboard and mouse ranges; everything else goes to on_message.
bool Window::route_input(MessageRecord& record) {
    const UINT message = record.message;
    if (message >= WM_KEYDOWN && message <= WM_SYSKEYDOWN) return on_key(record);
    // Moves, buttons, wheels and side buttons; wheels carry screen coordinates.
    if (message >= WM_MOUSEMOVE && message <= WM_MOUSEHWHEEL)
        return on_mouse(message, record.lparam, record.wparam);
    return on_message(record);
}

int Window::on_activate(int, int) { return 0; }
int Window::on_close() { return 0; }
int Window::on_enable(int) { return 0; }
int Window::on_set_focus(Window*) { return 0; }
int Window::on_key(MessageRecord&) { return 0; }
int Window::on_kill_focus(Window*) { return 0; }
int Window::on_init_menu(HMENU*) { return 0; }
int Window::on_menu_select(int, int) { return 0; }
int Window::on_mouse(UINT, LPARAM, WPARAM) { return 0; }
int Window::on_move(unsigned, unsigned) { return 0; }
int Window::on_paint() { return 0; }
int Window::can_close() { return 1; }
int Window::on_size(RECT*, WPARAM) { return 0; }
int Window::on_timer(WPARAM) { return 0; }
int Window::on_message(MessageRecord&) { return 0; }
int Window::on_command(int, int) { return 0; }

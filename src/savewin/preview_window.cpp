#include "savewin/preview_window.h"

#include <new>
#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/saver.h"
#include "saver/scheduler.h"
#include "savewin/settings.h"
#include "trace/report.h"
#include "trace/signal_handler.h"

namespace {

// The parent's client area on the screen.
RECT client_on_screen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

constexpr UINT_PTR watch_timer_id = 1;

}  // namespace

PreviewWindow::PreviewWindow(HWND parent, bool as_child)
    : FrameWindow(class_name), parent(parent), as_child(as_child) {
    choose_developer_mode();
    app.reseed_from_command_line();
    // Only its own "-l": a preview must not replace the trace of a real run.
    tracing = app.has_switch("-l");
    if (tracing) start_trace_file();
    trace_entry("savewin", 431, " : app.rand.seed() = ", app.rand.seed());

    const RECT client = client_on_screen(parent);
    prepare_window_parameters(client);
    if (!create()) return;
    // The effects take the window's own size, whatever the parent made of it.
    RECT own{};
    GetClientRect(hwnd, &own);
    Screen.width = own.right;
    Screen.height = own.bottom;
    start_watch();
    // As in a full-screen run, the option is read once, at the start.
    runner.attach(hwnd, settings::read_flag(settings::true_colour_cycling));
    runner.start_next();
}

PreviewWindow::~PreviewWindow() {
    if (watch_timer && IsWindow(hwnd)) KillTimer(hwnd, watch_timer);
    runner.detach();
    Screen.palette.reset();
    if (hwnd && IsWindow(hwnd) && Window::from_handle(hwnd) == this) DestroyWindow(hwnd);
}

void PreviewWindow::prepare_window_parameters(const RECT& client) {
    CreationParameters& p = creation_parameters;
    p.window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    p.window_class.lpszMenuName = nullptr;
    if (as_child) {
        p.style = WS_CHILD | WS_VISIBLE;
        p.ex_style = 0;
        p.left = 0;
        p.top = 0;
        p.parent_handle = parent;
    } else {
        // Owned by the parent's top-level window, which keeps it above that
        // window and takes it along when it goes.
        p.style = WS_POPUP | WS_VISIBLE;
        p.ex_style = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
        p.left = client.left;
        p.top = client.top;
        p.parent_handle = GetAncestor(parent, GA_ROOT);
    }
    // Inclusive bounds: exactly the parent's client area.
    p.right = p.left + (client.right - client.left) - 1;
    p.bottom = p.top + (client.bottom - client.top) - 1;
}

// The window's own timer: should the window go behind the preview's back,
// its WM_DESTROY ends the run as every framework window's does.
void PreviewWindow::start_watch() {
    watch_period = runner.display_off() ? watch_period_off_ms : watch_period_ms;
    watch_timer = SetTimer(hwnd, watch_timer_id, watch_period, nullptr);
}

int PreviewWindow::on_timer(WPARAM timer_id) {
    if (timer_id != watch_timer_id) return 0;
    watch();
    return 1;
}

// The preview keeps the size of the parent's client area; a popup also follows
// it when it moves, shows or hides.
void PreviewWindow::follow_parent() {
    const RECT client = client_on_screen(parent);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    RECT own{};
    GetWindowRect(hwnd, &own);
    const bool same_size = own.right - own.left == width && own.bottom - own.top == height;
    if (as_child) {
        if (!same_size)
            SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const bool shown = IsWindowVisible(parent) != 0;
    if (same_size && own.left == client.left && own.top == client.top && (IsWindowVisible(hwnd) != 0) == shown)
        return;
    SetWindowPos(hwnd, nullptr, client.left, client.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

bool PreviewWindow::no_msg() const { return no_message_for(nullptr); }

// Called from a paint, so the window is closed later, through the queue.
void PreviewWindow::watch() {
    const bool alive = hwnd && IsWindow(hwnd);
    if (alive && IsWindow(parent)) {
        follow_parent();
        return;
    }
    if (alive) {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    } else {
        PostQuitMessage(0);
    }
}

int PreviewWindow::on_key(MessageRecord&) { return 1; }

int PreviewWindow::on_mouse(UINT, LPARAM, WPARAM) { return 1; }

int PreviewWindow::on_message(MessageRecord& record) {
    if (runner.display_message(record)) {
        start_watch();
        return 1;
    }
    if (record.message == WM_ERASEBKGND && runner.picture) runner.picture->uncovered();
    // A click on the popup leaves the settings active.
    if (record.message == WM_MOUSEACTIVATE) {
        record.result = MA_NOACTIVATE;
        return 1;
    }
    return 0;
}

int PreviewWindow::on_size(RECT* client, WPARAM size_type) {
    if (size_type == SIZE_MINIMIZED || client->right <= client->left || client->bottom <= client->top) return 0;
    runner.resize_for_next(client->right - client->left, client->bottom - client->top);
    return 0;
}

// One slice per WM_PAINT, as in the saver window: input and the watch timer
// are handled between slices.
void PreviewWindow::paint_with(PaintContext& context) {
    const auto message_waits = [this] {
        // A window that is always invalid gets WM_PAINT before any WM_TIMER: the
        // watch timer is served here, or it would end every slice unserved.
        MSG timer;
        while (PeekMessageA(&timer, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&timer);
        return !no_msg();
    };
    if (!runner.slice_begins(message_waits)) return;
    runner.next_when_done();
    runner.run(context);
}

// Wine shows nothing that a process draws in a child of another process's
// window: there the preview is a popup kept over the parent's client area.
bool preview_as_child(Platform platform) { return platform == Platform::windows; }

void run_preview(HWND parent, Platform platform) {
    if (!settings::read_flag(settings::preview) || !parent || !IsWindow(parent)) return;
    RECT client{};
    if (!GetClientRect(parent, &client) || client.right <= client.left || client.bottom <= client.top)
        return;
    std::unique_ptr<PreviewWindow> preview(new (std::nothrow) PreviewWindow(parent, preview_as_child(platform)));
    if (!preview || !preview->hwnd) return;
    app.main_window = std::move(preview);
    // The settings stay the active window.
    app.show_command = SW_SHOWNA;
    app.message_loop();
    app.main_window.reset();
}

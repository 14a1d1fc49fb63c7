#include "savewin/preview_window.h"

#include <cstdlib>
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

// Wine shows nothing that a process draws in a child of another process's
// window: there the preview is a popup kept over the parent's client area.
bool foreign_children_shown() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return !ntdll || !GetProcAddress(ntdll, "wine_get_version");
}

// The parent's client area on the screen.
RECT client_on_screen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

// A thread timer: it keeps firing when the window is destroyed behind the
// preview's back, which a window's own timer would not.
void CALLBACK watch_preview(HWND, UINT, UINT_PTR, DWORD) {
    if (auto* preview = dynamic_cast<PreviewWindow*>(saver_host)) preview->watch();
}

}  // namespace

PreviewWindow::PreviewWindow(HWND parent)
    : FrameWindow(class_name), parent(parent), as_child(foreign_children_shown()) {
    saver_host = this;
    developer_mode = std::getenv("PO") != nullptr && !app.has_switch("-x");
    if (!developer_mode) install_signal_handler();
    if (app.has_switch("-r")) app.rand.reseed(static_cast<int32_t>(app.switch_number("-r")));
    // Only its own "-l": a preview must not replace the trace of a real run.
    tracing = app.has_switch("-l");
    if (tracing) start_trace_file();
    version = String(app.version_text().c_str());
    trace_entry("savewin", 431, " : app.rand.seed() = ", app.rand.seed());

    const RECT client = client_on_screen(parent);
    Screen.width = client.right - client.left;
    Screen.height = client.bottom - client.top;
    prepare_window_parameters(client);
    if (!create()) return;
    watch_timer = SetTimer(nullptr, 0, watch_period_ms, &watch_preview);
    // As in a full-screen run, the option is read once, at the start.
    picture = make_screen_palette(hwnd, settings::read_flag(settings::true_colour_cycling));
    start_next_saver(*this, current_saver);
}

PreviewWindow::~PreviewWindow() {
    if (watch_timer) KillTimer(nullptr, watch_timer);
    current_saver.reset();
    picture.reset();
    Screen.palette.reset();
    if (hwnd && IsWindow(hwnd) && Window::from_handle(hwnd) == this) DestroyWindow(hwnd);
    if (saver_host == this) saver_host = nullptr;
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

// A popup follows the parent's client area when it moves, shows or hides.
void PreviewWindow::follow_parent() {
    if (as_child) return;
    const RECT client = client_on_screen(parent);
    RECT own{};
    GetWindowRect(hwnd, &own);
    const bool shown = IsWindowVisible(parent) != 0;
    if (own.left == client.left && own.top == client.top && (IsWindowVisible(hwnd) != 0) == shown) return;
    SetWindowPos(hwnd, nullptr, client.left, client.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

bool PreviewWindow::no_msg() const {
    MSG message;
    return !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

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
    if (record.message == WM_ERASEBKGND && picture) picture->uncovered();
    // A click on the popup leaves the settings active.
    if (record.message == WM_MOUSEACTIVATE) {
        record.result = MA_NOACTIVATE;
        return 1;
    }
    return 0;
}

void PreviewWindow::invalidate() { InvalidateRect(hwnd, nullptr, FALSE); }

// One slice per WM_PAINT, as in the saver window: input and the watch timer
// are handled between slices.
void PreviewWindow::paint_with(PaintContext& context) {
    if (picture) picture->slice_done();
    // A window that is always invalid gets WM_PAINT before any WM_TIMER: the
    // watch timer is served here, or it would end every slice unserved.
    MSG timer;
    while (PeekMessageA(&timer, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&timer);
    if (!no_msg()) {
        invalidate();
        return;
    }
    if (current_saver && current_saver->done) start_next_saver(*this, current_saver);
    if (!current_saver) return;
    if (picture)
        current_saver->run_on(*picture);
    else
        current_saver->run_on(context);
    invalidate();
}

void run_preview(HWND parent) {
    if (!settings::read_flag(settings::preview) || !parent || !IsWindow(parent)) return;
    RECT client{};
    if (!GetClientRect(parent, &client) || client.right <= client.left || client.bottom <= client.top)
        return;
    std::unique_ptr<PreviewWindow> preview(new (std::nothrow) PreviewWindow(parent));
    if (!preview || !preview->hwnd) return;
    app.main_window = std::move(preview);
    // The settings stay the active window.
    app.show_command = SW_SHOWNA;
    app.message_loop();
    app.main_window.reset();
}

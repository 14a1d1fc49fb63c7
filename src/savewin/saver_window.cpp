#include "savewin/saver_window.h"

#include "app/application.h"
#include "framework/input_context.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "saver/saver.h"
#include "saver/scheduler.h"
#include "savewin/dialogs.h"
#include "savewin/password.h"
#include "savewin/settings.h"
#include "trace/report.h"
#include "trace/signal_handler.h"

SaverWindow* swin = nullptr;

namespace {

// WS_POPUP with the class-specific bit that screen savers have always carried.
constexpr DWORD saver_style = 0x80000008;

bool message_waiting() {
    MSG message;
    return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

}  // namespace

SaverWindow::SaverWindow() : FrameWindow(class_name) {
    swin = this;
    choose_developer_mode();
    drawing = 1;
    app.reseed_from_command_line();
    tracing = settings::read_flag(settings::trace) || app.has_switch("-l");
    if (tracing) start_trace_file();
    cursor_hidden = false;
    ignore_mouse = 0;
    stay_on_top = 0;
    version = String(app.version_text().c_str());
    stamp_version();
    read_options();
    trace_entry("savewin", 431, " : app.rand.seed() = ", app.rand.seed());
    settings::flush();
    prepare_window_parameters();
    create(title);
    remove_input_context(hwnd);
    // The class has no cursor; without a cursor of its own a new thread may show
    // none at all, so a visible cursor is set explicitly.
    if (!cursor_hidden) show_cursor(true);
    const bool cycling = settings::read_flag(settings::true_colour_cycling);
    runner.attach(hwnd, cycling);
    monitors.attach(hwnd, cycling);
    // A start-value search ends only on a waiting message, and input reaches the
    // window only once it shows: such a run starts its first effect at the first paint.
    first_effect_waits = app.has_switch("-b") || app.has_switch("-t");
    if (!first_effect_waits) next_saver();
}

// The other monitors' windows and pictures go first, then the primary's effect
// and picture; the window itself was destroyed before.
SaverWindow::~SaverWindow() {
    if (tracing && !keep_trace && !developer_mode) delete_trace_file();
    if (cursor_hidden) {
        show_cursor(true);
        cursor_hidden = false;
    }
    monitors.detach();
    runner.detach();
    if (swin == this) swin = nullptr;
}

void SaverWindow::stamp_version() {
    if (settings::read(settings::version, "") != version.text())
        settings::write(settings::version, version.text());
}

void SaverWindow::prepare_window_parameters() {
    CreationParameters& p = creation_parameters;
    p.window_class.style |= CS_SAVEBITS;
    p.window_class.hCursor = nullptr;
    p.window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    p.window_class.lpszMenuName = nullptr;
    p.style = saver_style;
    p.ex_style = 0;
    p.left = 0;
    p.top = 0;
    // Inclusive bounds: the window is one pixel wider and higher than the screen.
    p.right = GetSystemMetrics(SM_CXSCREEN);
    p.bottom = GetSystemMetrics(SM_CYSCREEN);
    if (!monitors.guards_every_monitor()) return;
    const CoverRect span = monitors.span_rect();
    p.left = span.left;
    p.top = span.top;
    p.right = span.right;
    p.bottom = span.bottom;
}

void SaverWindow::start_first_effect() {
    first_effect_waits = false;
    if (app.has_switch("-b")) skip_to_value(runner, app.switch_number("-b"));
    next_saver();
}

void SaverWindow::next_saver() { runner.start_next(); }

void SaverWindow::wake() {
    if (password.empty()) {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    } else {
        ask_password();
    }
}

// The covers stay topmost in either case: they guard the other monitors.
void SaverWindow::set_topmost(bool topmost) {
    monitors.before_band_change();
    SetWindowPos(hwnd, topmost || monitors.guards_every_monitor() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    monitors.after_band_change();
}

int SaverWindow::on_message(MessageRecord& record) {
    if (runner.display_message(record)) return 1;
    if (record.message == WM_ERASEBKGND && runner.picture) runner.picture->uncovered();
    if (record.message == foreground_lost) other_program_active();
    // After a change of the monitors the pointer's history starts over where
    // the system left it.
    if (monitors.take_message(record)) {
        POINT now{};
        GetCursorPos(&now);
        pointer_motion.reset(now.x, now.y);
    }
    return 0;
}

void SaverWindow::read_options() {
    if (settings::read_flag(settings::hide_mouse)) {
        if (!cursor_hidden) {
            cursor_hidden = true;
            show_cursor(false);
        }
    } else if (cursor_hidden) {
        cursor_hidden = false;
        show_cursor(true);
    }
    ignore_mouse = settings::read_flag(settings::ignore_mouse);
    stay_on_top = settings::read_flag(settings::stay_on_top);
    password = stored_password();
}

bool SaverWindow::no_msg() const { return no_message_for(hwnd); }

void SaverWindow::invalidate() {
    runner.invalidate();
}

// One slice of the effect per WM_PAINT; the invalidation asks for the next slice
// once the queue is empty again, so input is handled between slices.
void SaverWindow::paint_with(PaintContext& context) {
    if (!runner.slice_begins([] { return message_waiting() || message_waiting(); })) return;
    if (first_effect_waits) {
        start_first_effect();
    } else if (runner.next_when_done() && state == 1) {
        state = 2;
    }
    if (drawing && state != 2) {
        runner.run(context);
        return;
    }
    runner.show_pending();
    // Paused here, the other monitors' pictures go on until their own effects end.
    if (drawing) runner.run_companions();
}

// The cursor stays hidden only while the saver is the active window.
int SaverWindow::on_activate(int active, int) {
    if (cursor_hidden) show_cursor(active == 0);
    return 0;
}

int SaverWindow::on_mouse(UINT message, LPARAM lparam, WPARAM) {
    if (message == WM_MOUSEMOVE) {
        // Covers and mirrors forward their moves in this window's coordinates.
        POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        ClientToScreen(hwnd, &point);
        if (dialog_open) {
            initial_cursor = point;
            return 1;
        }
        const POINT from = initial_cursor;
        // Ignored, a move needs no look at the monitors: a change of them lays
        // the windows out anyway.
        if (!pointer_moved_far(point) || ignore_mouse) return 1;
        switch (monitors.judge_far_move(from, point)) {
        case PointerMove::users:
            break;
        case PointerMove::systems:
            // Only the reference moves: the history starts over from here.
            pointer_motion.reset(point.x, point.y);
            return 1;
        case PointerMove::undecided:
            return 1;
        }
    } else if (dialog_open) {
        GetCursorPos(&initial_cursor);
        return 1;
    }
    // Wheels and side buttons are buttons; a release wakes as a press does.
    if (!ignore_mouse) wake();
    return 1;
}

int SaverWindow::on_timer(WPARAM timer_id) {
    if (!monitors.settled_as_users(timer_id)) return 0;
    if (!dialog_open && !ignore_mouse) wake();
    return 1;
}

// Slow drift never wakes, however often the mouse reports it: the pointer must
// be far from where it was a tenth of a second before.
bool SaverWindow::pointer_moved_far(POINT point) {
    if (!pointer_motion.started() || initial_cursor.x != motion_reference.x ||
        initial_cursor.y != motion_reference.y)
        pointer_motion.reset(initial_cursor.x, initial_cursor.y);
    const bool moved = pointer_motion.moved_far(static_cast<uint32_t>(GetMessageTime()), point.x, point.y);
    initial_cursor = point;
    motion_reference = point;
    return moved;
}

// With a password, system commands such as task switching are swallowed.
int SaverWindow::on_command(int, int) {
    return password.empty() ? 0 : 1;
}

void SaverWindow::show_options() {
    drawing = 0;
    set_topmost(false);
    if (cursor_hidden) show_cursor(true);
    dialog_open = true;
    if (show_options_dialog(hwnd)) {
        read_options();
        runner.end_effect();
    }
    GetCursorPos(&initial_cursor);
    if (cursor_hidden) show_cursor(false);
    dialog_open = false;
    set_topmost(stay_on_top);
    drawing = 1;
    invalidate();
}

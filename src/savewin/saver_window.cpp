#include "savewin/saver_window.h"

#include <memory>
#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/saver.h"
#include "saver/scheduler.h"
#include "savewin/dialogs.h"
#include "savewin/input_context.h"
#include "savewin/mirror_presenter.h"
#include "savewin/monitor_covers.h"
#include "savewin/password.h"
#include "savewin/separate_pictures.h"
#include "savewin/settings.h"
#include "savewin/span_layout.h"
#include "trace/report.h"

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
    runner.start_run(true);
    drawing = 1;
    cursor_hidden = false;
    ignore_mouse = 0;
    stay_on_top = 0;
    stamp_version();
    read_options();
    monitor_mode = monitor_mode_from(settings::read(settings::monitors, ""));
    // One hardware palette serves every monitor of a palette display: there a
    // picture of its own on each monitor cannot cycle its own colours, and the
    // primary's is shown on them instead.
    if (monitor_mode == MonitorMode::separate && DisplayCaps::of_screen().bits_per_pixel <= 8)
        monitor_mode = MonitorMode::mirror;
    // Spanning, the effects take the virtual screen for the screen.
    if (monitor_mode == MonitorMode::span) {
        span_screen = current_virtual_screen();
        Screen.width = span_screen.right - span_screen.left;
        Screen.height = span_screen.bottom - span_screen.top;
    }
    settings::flush();
    prepare_window_parameters();
    create(title);
    remove_input_context(hwnd);
    // Right after the window: the covers are owned by it, so DestroyWindow on any
    // way out takes them along, and they exist before anything can wake the saver.
    if (hwnd)
        covers = std::make_unique<MonitorCovers>(hwnd, monitor_mode == MonitorMode::mirror ||
                                                                   monitor_mode == MonitorMode::separate
                                                           ? MonitorCovers::Kind::mirrors
                                                           : MonitorCovers::Kind::covers);
    // The class has no cursor; without a cursor of its own a new thread may show
    // none at all, so a visible cursor is set explicitly.
    if (!cursor_hidden) show_cursor(true);
    const bool cycling = settings::read_flag(settings::true_colour_cycling);
    runner.attach(hwnd, cycling);
    if (covers && monitor_mode == MonitorMode::mirror) {
        mirror = std::make_unique<MirrorPresenter>(*covers, hwnd, *runner.stage().screen);
        runner.set_companions(mirror.get());
    }
    if (covers && monitor_mode == MonitorMode::separate) {
        separate = std::make_unique<SeparatePictures>(*covers, *this, runner, cycling);
        runner.set_companions(separate.get());
    }
    // A start-value search ends only on a waiting message, and input reaches the
    // window only once it shows: such a run starts its first effect at the first paint.
    first_effect_waits = app.has_switch("-b") || app.has_switch("-t");
    if (!first_effect_waits) next_saver();
}

SaverWindow::~SaverWindow() {
    if (tracing && !keep_trace && !developer_mode) delete_trace_file();
    if (cursor_hidden) {
        show_cursor(true);
        cursor_hidden = false;
    }
    runner.detach();
    runner.set_companions(nullptr);
    mirror.reset();
    separate.reset();
    runner.picture.reset();
    covers.reset();
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
    if (monitor_mode != MonitorMode::span) return;
    p.left = span_screen.left;
    p.top = span_screen.top;
    p.right = span_screen.right;
    p.bottom = span_screen.bottom;
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
    if (covers) covers->set_owner(nullptr);
    SetWindowPos(hwnd, topmost || guards_every_monitor() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    if (!covers) return;
    covers->raise();
    covers->set_owner(hwnd);
}

int SaverWindow::on_message(MessageRecord& record) {
    if (runner.display_message(record)) return 1;
    if (record.message == WM_ERASEBKGND && runner.picture) runner.picture->uncovered();
    if (record.message == foreground_lost) other_program_active();
    if (!covers) return 0;
    if (record.message == WM_SHOWWINDOW && record.wparam) covers->show();
    // A dialog over the saver shows below the covers (Wine 8): its first idle
    // moment puts them below it.
    if (record.message == WM_ENTERIDLE && record.wparam == MSGF_DIALOGBOX)
        covers->keep_below(reinterpret_cast<HWND>(record.lparam));
    if (record.message == WM_DISPLAYCHANGE || record.message == MonitorCovers::monitors_changed)
        monitors_changed();
    return 0;
}

// The window follows the screen at once: spanning, the virtual screen, black
// where it grew; otherwise the primary, one pixel wider and higher. The covers
// and mirrors follow the monitors, and the next effect takes the new size.
void SaverWindow::monitors_changed() {
    std::vector<CoverRect> monitors = current_monitors();
    if (!(monitors == laid_out_monitors)) {
        laid_out_monitors = std::move(monitors);
        monitors_changed_at = GetTickCount();
    }
    if (monitor_mode == MonitorMode::span) {
        const CoverRect screen = current_virtual_screen();
        if (!(screen == span_screen)) {
            span_screen = screen;
            lay_over(hwnd, screen);
        }
    } else {
        primary_screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT window{};
        GetWindowRect(hwnd, &window);
        if (!(CoverRect{window.left, window.top, window.right - 1, window.bottom - 1} == primary_screen))
            lay_over(hwnd, primary_screen);
    }
    if (covers) covers->layout();
    if (separate) separate->follow_windows();
    runner.show_companions_again();
    follow_display_change();
}

// Today's effect ends, so that the next one starts at the new size; the
// settings and the password stay.
void SaverWindow::follow_display_change() {
    const CoverRect screen = monitor_mode == MonitorMode::span ? span_screen : primary_screen;
    if (empty(screen) || !current_saver) return;
    const int32_t width = screen.right - screen.left;
    const int32_t height = screen.bottom - screen.top;
    if (width == Screen.width && height == Screen.height) return;
    runner.resize_for_next(width, height);
    current_saver->done = 1;
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
        // Ignored, a move needs no second look at the monitors: the watch lays
        // the windows out after a change.
        if (!pointer_moved_far(point) || ignore_mouse) return 1;
        // Only the reference moves: the history starts over from here.
        if (system_moved_pointer(from, point)) {
            pointer_motion.reset(point.x, point.y);
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

// X moves a pointer left on a monitor that goes or shrinks, and Wine 8 may hand
// that move over before its list of monitors changes (measured: 1 to 103 ms
// before), or after it, when the queue is read late. Such a move ends on the
// outermost row or column of a monitor, where X puts the pointer it moves: only
// a jump that ends there waits a moment for the list to change before it counts
// as the user's; any other wakes at once.
bool SaverWindow::system_moved_pointer(POINT from, POINT to) {
    constexpr DWORD settle_ms = 300;
    constexpr DWORD poll_ms = 10;
    // A change taken within this time was the cause of a jump behind it in the queue.
    constexpr DWORD recent_ms = 1000;
    const DWORD start = GetTickCount();
    std::vector<CoverRect> monitors = current_monitors();
    const bool may_wait = on_monitor_edge(monitors, to.x, to.y);
    for (;;) {
        if (!(monitors == laid_out_monitors)) {
            monitors_changed();
            return true;
        }
        if (!MonitorFromPoint(from, MONITOR_DEFAULTTONULL)) return true;
        if (monitors_changed_at != 0 && GetTickCount() - monitors_changed_at < recent_ms) return true;
        if (!may_wait || GetTickCount() - start >= settle_ms) return false;
        Sleep(poll_ms);
        monitors = current_monitors();
    }
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
        if (current_saver) current_saver->done = 1;
    }
    GetCursorPos(&initial_cursor);
    if (cursor_hidden) show_cursor(false);
    dialog_open = false;
    set_topmost(stay_on_top);
    drawing = 1;
    invalidate();
}

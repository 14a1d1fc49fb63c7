#include "monitors/monitors.h"

#include "framework/window.h"
#include "gfx/screen.h"
#include "monitors/mirror_presenter.h"
#include "monitors/monitor_covers.h"
#include "monitors/separate_pictures.h"
#include "monitors/span_layout.h"
#include "runner/effect_runner.h"
#include "saver/palette.h"

namespace {

BOOL CALLBACK collect_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<CoverRect>*>(list)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}

bool on_some_monitor(const std::vector<CoverRect>& monitors, POINT point) {
    for (const CoverRect& m : monitors)
        if (point.x >= m.left && point.x < m.right && point.y >= m.top && point.y < m.bottom) return true;
    return false;
}

CoverRect primary_now() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace

std::vector<CoverRect> current_monitors() {
    std::vector<CoverRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

Monitors::Monitors(Platform platform, const std::string& stored_mode, EffectRunner& runner,
                   RunnerWindow& saver_window, MonitorSource source)
    : platform(platform), runner(runner), saver_window(saver_window), source(std::move(source)) {
    chosen = monitor_mode_from(stored_mode);
    // One hardware palette serves every monitor of a palette display: there a
    // picture of its own on each monitor cannot cycle its own colours, and the
    // primary's is shown on them instead.
    if (chosen == MonitorMode::separate && DisplayCaps::of_screen().bits_per_pixel <= 8)
        chosen = MonitorMode::mirror;
    laid_out = this->source();
    // Spanning, the effects take the virtual screen for the screen.
    if (chosen == MonitorMode::span) {
        span_screen = current_virtual_screen();
        ScreenRecord& screen = *runner.stage().screen;
        screen.width = span_screen.right - span_screen.left;
        screen.height = span_screen.bottom - span_screen.top;
    }
}

Monitors::~Monitors() { detach(); }

// Right after the window: the covers are owned by it, so DestroyWindow on any
// way out takes them along, and they exist before anything can wake the saver.
void Monitors::attach(HWND saver_handle, bool true_colour_cycling) {
    saver = saver_handle;
    cycling = true_colour_cycling;
    if (!saver) return;
    const bool pictures = chosen == MonitorMode::mirror || chosen == MonitorMode::separate;
    covers = std::make_unique<MonitorCovers>(
        saver, pictures ? MonitorCovers::Kind::mirrors : MonitorCovers::Kind::covers, laid_out);
    if (chosen == MonitorMode::mirror) {
        mirror = std::make_unique<MirrorPresenter>(*covers, saver, *runner.stage().screen);
        runner.set_companions(mirror.get());
    }
    if (chosen == MonitorMode::separate) {
        separate = std::make_unique<SeparatePictures>(*covers, saver_window, runner, cycling);
        runner.set_companions(separate.get());
    }
    start_watching();
}

void Monitors::detach() {
    stop_watching();
    stop_settling();
    runner.set_companions(nullptr);
    mirror.reset();
    separate.reset();
    covers.reset();
}

// Wine 8 sends no WM_DISPLAYCHANGE for a monitor that comes or goes: there a
// thread of its own watches the list, and only reads it and posts; the windows
// are made and destroyed on the saver window's thread. Windows tells every
// top-level window itself.
void Monitors::start_watching() {
    if (platform != Platform::wine || watcher) return;
    watched = laid_out;
    stop_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop_event) watcher = CreateThread(nullptr, 0, watch, this, 0, nullptr);
}

void Monitors::stop_watching() {
    if (watcher) {
        SetEvent(stop_event);
        WaitForSingleObject(watcher, INFINITE);
        CloseHandle(watcher);
        watcher = nullptr;
    }
    if (stop_event) CloseHandle(stop_event);
    stop_event = nullptr;
}

DWORD WINAPI Monitors::watch(void* self) {
    auto* monitors = static_cast<Monitors*>(self);
    while (WaitForSingleObject(monitors->stop_event, watch_period_ms) == WAIT_TIMEOUT) {
        std::vector<CoverRect> now = monitors->source();
        if (now == monitors->watched) continue;
        monitors->watched = std::move(now);
        PostMessageA(monitors->saver, monitors_changed, 0, 0);
    }
    return 0;
}

bool Monitors::take_message(const MessageRecord& record) {
    if (!covers) return false;
    switch (record.message) {
    case WM_SHOWWINDOW:
        if (record.wparam) covers->show();
        return false;
    case WM_ENTERIDLE:
        // Wine 8 shows a dialog over the saver below the covers: its first
        // idle moment puts them below it. Windows keeps an owned dialog above.
        if (platform == Platform::wine && record.wparam == MSGF_DIALOGBOX)
            covers->keep_below(reinterpret_cast<HWND>(record.lparam));
        return false;
    case WM_DISPLAYCHANGE:
    case monitors_changed:
        follow_change();
        return true;
    default:
        return false;
    }
}

// Wine 8 leaves a window that owns popups out of the topmost band: there the
// saver window lets go of its covers while it changes band.
void Monitors::before_band_change() {
    if (covers && platform == Platform::wine) covers->set_owner(nullptr);
}

void Monitors::after_band_change() {
    if (!covers) return;
    covers->raise();
    if (platform == Platform::wine) covers->set_owner(saver);
}

void Monitors::follow_change() {
    stop_settling();
    std::vector<CoverRect> now = source();
    if (!(now == laid_out)) {
        laid_out = std::move(now);
        changed_at = GetTickCount();
    }
    lay_saver_window();
    if (covers) covers->layout(laid_out);
    if (separate) separate->follow_windows();
    runner.show_companions_again();
    resize_effects();
}

// The window follows the screen at once: spanning, the virtual screen, black
// where it grew; otherwise the primary, one pixel wider and higher.
void Monitors::lay_saver_window() {
    if (!saver) return;
    if (chosen == MonitorMode::span) {
        const CoverRect screen = current_virtual_screen();
        if (screen == span_screen) return;
        span_screen = screen;
        lay_over(saver, screen);
        return;
    }
    const CoverRect primary = primary_now();
    RECT window{};
    GetWindowRect(saver, &window);
    if (!(CoverRect{window.left, window.top, window.right - 1, window.bottom - 1} == primary))
        lay_over(saver, primary);
}

// Today's effect ends, so that the next one starts at the new size.
void Monitors::resize_effects() {
    const CoverRect screen = chosen == MonitorMode::span ? span_screen : primary_now();
    if (empty(screen)) return;
    const int32_t width = screen.right - screen.left;
    const int32_t height = screen.bottom - screen.top;
    const ScreenRecord& now = *runner.stage().screen;
    if (width == now.width && height == now.height) return;
    runner.resize_for_next(width, height);
    runner.end_effect();
}

// X moves a pointer left on a monitor that goes or shrinks, and while a monitor
// changes its mode; Wine 8 may hand that move over before its list of monitors
// changes (measured: 1 to 103 ms before, up to 773 ms on a loaded machine), or
// after it, when the queue is read late. Such a move ends on the outermost row
// or column of a monitor, where X puts the pointer it moves: only a jump that
// ends there waits for the list to change before it counts as the user's; any
// other wakes at once. A hand on a mouse reports many moves, and the first far
// one seldom ends on an edge.
PointerMove Monitors::judge_far_move(POINT from, POINT to) {
    const std::vector<CoverRect> now = source();
    if (!(now == laid_out)) {
        follow_change();
        return PointerMove::systems;
    }
    if (!on_some_monitor(now, from)) return PointerMove::systems;
    if (!saver || !on_monitor_edge(now, to.x, to.y)) return PointerMove::users;
    if (changed_at != 0 && GetTickCount() - changed_at < recent_ms) return PointerMove::systems;
    settling = SetTimer(saver, settling_timer, settle_ms, nullptr) != 0;
    return settling ? PointerMove::undecided : PointerMove::users;
}

bool Monitors::settled_as_users(WPARAM timer_id) {
    if (timer_id != settling_timer) return false;
    const bool waited = settling;
    stop_settling();
    if (!waited) return false;
    // A change taken while it waited would have stopped the wait: only one
    // that nobody told of yet remains.
    if (!(source() == laid_out)) {
        follow_change();
        return false;
    }
    return true;
}

void Monitors::stop_settling() {
    if (settling && saver) KillTimer(saver, settling_timer);
    settling = false;
}

void Monitors::for_each_other_picture(const std::function<void(EffectRunner&, int32_t&)>& act) {
    if (separate) separate->for_each([&act](MonitorPicture& picture) { act(picture.runner, picture.state); });
}

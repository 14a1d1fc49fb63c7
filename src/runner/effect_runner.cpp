#include "runner/effect_runner.h"

#include <algorithm>
#include <cstring>
#include "app/application.h"
#include "framework/window.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "saver/saver.h"
#include "saver/scheduler.h"
#include "trace/report.h"

namespace {

constexpr DWORD display_off_state = 0;

bool same_guid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

int64_t counter_frequency() {
    LARGE_INTEGER counts;
    QueryPerformanceFrequency(&counts);
    return counts.QuadPart > 0 ? counts.QuadPart : 1;
}

// The refresh rate of the display the window is on; 0 when unknown.
int32_t refresh_rate() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return static_cast<int32_t>(mode.dmDisplayFrequency);
}

}  // namespace

EffectRunner::EffectRunner(RunnerWindow& window, Stage stage, int32_t least_frame_ms, bool leads)
    : owner(window), picture_stage(stage), least_frame_ms(least_frame_ms), leads(leads) {}

EffectRunner::~EffectRunner() {
    detach();
}

bool RunnerWindow::no_message_for(HWND window) {
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return true;
    MSG message;
    return !PeekMessageA(&message, window, 0, 0, PM_NOREMOVE);
}

int64_t EffectRunner::now_us() {
    // Fixed at boot: asked once, not on every reading between frames.
    static const int64_t frequency = counter_frequency();
    LARGE_INTEGER counts;
    QueryPerformanceCounter(&counts);
    // Split so that the product does not overflow on a fast counter.
    return counts.QuadPart / frequency * 1000000 + counts.QuadPart % frequency * 1000000 / frequency;
}

void EffectRunner::attach(HWND handle, bool true_colour_cycling) {
    window = handle;
    // The option takes effect at start: the palette's size is fixed when it is made.
    picture = make_screen_palette(*picture_stage.screen, *picture_stage.rand, window, true_colour_cycling,
                                  picture_stage.primary);
    schedule = FrameSchedule(refresh_rate());
    // A follower neither sleeps nor hears of the display: its lead does both.
    if (!leads) return;
    if (!sleeps_by) sleeps_by = std::make_unique<PacingTimer>(&EffectRunner::now_us);
    sleeps_by->set_refresh(schedule.refresh_us());
    if (!window) return;
    // A system that does not know the newer setting refuses it.
    display_notice = RegisterPowerSettingNotification(window, &console_display_state, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!display_notice)
        display_notice = RegisterPowerSettingNotification(window, &monitor_power_on, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void EffectRunner::detach() {
    if (display_notice) UnregisterPowerSettingNotification(display_notice);
    display_notice = nullptr;
    current_saver.reset();
    picture.reset();
}

bool EffectRunner::slice_begins(const std::function<bool()>& message_waits) {
    if (off) return false;
    if (!message_waits()) return true;
    invalidate();
    return false;
}

bool EffectRunner::next_when_done() {
    if (!current_saver || !current_saver->done) return false;
    start_next();
    return true;
}

// The summary line of the ended effect shows the size it ran at; the next one
// takes the new size.
void EffectRunner::start_next() {
    ::end_effect(picture_stage, current_saver, owner.trace_kept(), app.version_text().c_str());
    ScreenRecord& screen = *picture_stage.screen;
    if (next_width > 0 && next_height > 0 && (next_width != screen.width || next_height != screen.height)) {
        screen.width = next_width;
        screen.height = next_height;
        fit_picture();
    }
    begin_effect(*this, current_saver);
}

void EffectRunner::end_effect() {
    if (current_saver) current_saver->done = 1;
}

void EffectRunner::run_effect(std::unique_ptr<Saver> effect) { current_saver = std::move(effect); }

void EffectRunner::resize_for_next(int32_t width, int32_t height) {
    next_width = width;
    next_height = height;
}

void EffectRunner::fit_picture() {
    const ScreenRecord& screen = *picture_stage.screen;
    if (picture && screen.palette)
        picture = std::make_unique<CyclingPicture>(*screen.palette, window, screen.width, screen.height);
}

DrawContext& EffectRunner::target(DrawContext& window_context) {
    return picture ? static_cast<DrawContext&>(*picture) : window_context;
}

void EffectRunner::run(DrawContext& window_context) {
    run_batch(window_context);
    if (current_saver && !off) invalidate();
}

void EffectRunner::run_batch(DrawContext& window_context) {
    if (!current_saver || off) return;
    turn_began = now_us();
    schedule.slice_begins(turn_began);
    slice_started = true;
    current_saver->run_on(target(window_context));
    // Gone dark in the middle of the slice: nothing more is shown or asked for.
    // A slice that a message ended leaves its showing to the next one, so
    // that input is handled first.
    if (off) return;
    // A follower shows its own picture at its turn: its lead shows only its own.
    if (unshown() && (current_saver->done || (!leads && schedule.show_due(now_us(), true)))) show();
}

void EffectRunner::run_companions() {
    if (!companions || off) return;
    schedule.slice_begins(now_us());
    for (;;) {
        if (message_arrived(now_us())) break;
        if (off) return;
        // All paused: nothing to pace, and no paint is asked for.
        if (!companions->take_turn()) {
            if (sleeps_by) sleeps_by->stop();
            return;
        }
        const bool by_message = sleep_until(schedule.wake_time(now_us()));
        schedule.woke(now_us(), by_message);
    }
    invalidate();
}

bool EffectRunner::message_arrived(int64_t now) {
    if (!schedule.look_due(now)) return false;
    // A notice that Windows sends is handled inside this look.
    const bool waits = !owner.no_msg();
    schedule.looked(now);
    return waits;
}

// Every call after the first of a slice follows a drawn frame. A follower
// never sleeps: it draws what came due and hands back to the runner that
// leads, at the latest after a refresh period, so that frames longer than
// their period on one monitor leave the others their share.
bool EffectRunner::next_frame(int32_t period_ms) {
    if (!slice_started) drawn = true;
    slice_started = false;
    const int32_t period = std::max(period_ms, least_frame_ms);
    if (!leads) {
        const int64_t now = now_us();
        return now - turn_began < schedule.refresh_us() && !message_arrived(now) && !off &&
               schedule.frame_due(now, period);
    }
    for (;;) {
        int64_t now = now_us();
        if (message_arrived(now) || off) return false;
        if (schedule.frame_due(now, period)) {
            if (schedule.show_due(now, false)) {
                if (companions) companions->take_turn();
                show();
            }
            return true;
        }
        if (companions) companions->take_turn();
        if (unshown() && schedule.show_due(now_us(), true)) show();
        now = now_us();
        const bool by_message = sleep_until(schedule.wake_time(now));
        schedule.woke(now_us(), by_message);
    }
}

bool EffectRunner::unshown() const { return drawn || (picture && picture->pending()); }

void EffectRunner::show_pending() {
    if (!off && unshown()) show();
}

// The mirrors follow the window at once, so all monitors show the same picture.
void EffectRunner::show() {
    const int64_t start = now_us();
    const bool changed = unshown();
    if (picture) picture->show();
    if (companions && changed) companions->follow_showing(picture.get());
    drawn = false;
    ++showings;
    schedule.shown(start, now_us());
}

void EffectRunner::show_companions_again() {
    if (companions && !off) companions->follow_showing(picture.get());
}

bool EffectRunner::sleep_until(int64_t wake) {
    const int64_t now = now_us();
    if (wake <= now) return true;
    ++sleeps;
    return sleeps_by ? sleeps_by->sleep_until(wake, now) : true;
}

void EffectRunner::invalidate() const { InvalidateRect(window, nullptr, FALSE); }

bool EffectRunner::display_message(MessageRecord& record) {
    if (record.message != WM_POWERBROADCAST || record.wparam != PBT_POWERSETTINGCHANGE || !record.lparam)
        return false;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(record.lparam);
    const bool known =
        same_guid(setting->PowerSetting, console_display_state) || same_guid(setting->PowerSetting, monitor_power_on);
    if (!known || setting->DataLength < sizeof(DWORD)) return false;
    DWORD state = 0;
    std::memcpy(&state, setting->Data, sizeof state);
    display_changed(state);
    record.result = TRUE;
    return true;
}

// Dimmed counts as on. The time asleep does not count toward the effect's
// length: the effect that was showing goes on where it stopped. The notice
// may come inside a slice, in the runner's own look at the queue; the slice
// then ends before another frame.
void EffectRunner::display_changed(DWORD state) {
    const bool now_off = state == display_off_state;
    if (now_off == off) return;
    off = now_off;
    trace_entry("savewin", 612, " : display = ", static_cast<unsigned long>(state));
    if (off) {
        went_off = std::clock();
        if (sleeps_by) sleeps_by->stop();
        return;
    }
    if (current_saver) current_saver->start_time += static_cast<int32_t>(std::clock() - went_off);
    // What was drawn before going off may never have been shown.
    if (picture) picture->uncovered();
    invalidate();
}

#include "savewin/effect_runner.h"

#include <cstdlib>
#include <cstring>
#include "app/application.h"
#include "framework/window.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "gfx/relay_context.h"
#include "gfx/screen.h"
#include "saver/saver.h"
#include "saver/saver_host.h"
#include "saver/scheduler.h"
#include "savewin/settings.h"
#include "trace/report.h"
#include "trace/signal_handler.h"

namespace {

constexpr DWORD display_off_state = 0;

bool same_guid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

EffectRunner::EffectRunner(SaverHost& host) : host(host) {}

EffectRunner::~EffectRunner() { detach(); }

void EffectRunner::start_run(bool stored_trace_counts) {
    developer_mode = std::getenv("PO") != nullptr && !app.has_switch("-x");
    if (!developer_mode) install_signal_handler();
    if (app.has_switch("-r")) app.rand.reseed(static_cast<int32_t>(app.switch_number("-r")));
    tracing = (stored_trace_counts && settings::read_flag(settings::trace)) || app.has_switch("-l");
    if (tracing) start_trace_file();
    version = String(app.version_text().c_str());
    trace_entry("savewin", 431, " : app.rand.seed() = ", app.rand.seed());
}

void EffectRunner::attach(HWND handle, bool true_colour_cycling) {
    window = handle;
    // The option takes effect at start: the palette's size is fixed when it is made.
    picture = make_screen_palette(window, true_colour_cycling);
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
}

bool EffectRunner::slice_begins(const std::function<bool()>& message_waits) {
    if (off) return false;
    if (picture) picture->slice_done();
    if (!message_waits()) return true;
    invalidate();
    return false;
}

bool EffectRunner::next_when_done() {
    if (!current_saver || !current_saver->done) return false;
    start_next();
    return true;
}

void EffectRunner::start_next() { start_next_saver(host, current_saver); }

// Listeners learn of every frame through a relay; the effect cannot tell.
void EffectRunner::run(DrawContext& window_context) {
    if (!current_saver) return;
    DrawContext& target = picture ? static_cast<DrawContext&>(*picture) : window_context;
    if (listener) {
        RelayContext relay(target, *listener);
        current_saver->run_on(relay);
    } else {
        current_saver->run_on(target);
    }
    invalidate();
}

void EffectRunner::invalidate() const { InvalidateRect(window, nullptr, FALSE); }

void EffectRunner::fit_picture() {
    if (picture && Screen.palette)
        picture = std::make_unique<CyclingPicture>(*Screen.palette, window, Screen.width, Screen.height);
}

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
// length: the effect that was showing goes on where it stopped.
void EffectRunner::display_changed(DWORD state) {
    const bool now_off = state == display_off_state;
    if (now_off == off) return;
    off = now_off;
    trace_entry("savewin", 612, " : display = ", static_cast<unsigned long>(state));
    if (off) {
        went_off = std::clock();
        if (current_saver) current_saver->asleep();
        return;
    }
    if (current_saver) current_saver->start_time += static_cast<int32_t>(std::clock() - went_off);
    // What was drawn before going off may never have been shown.
    if (picture) picture->uncovered();
    invalidate();
}

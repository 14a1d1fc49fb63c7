// The saver window's keyboard: most keys wake it, a few act on the running effect.
#include <cstdint>
#include "app/application.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/saver.h"
#include "savewin/saver_window.h"
#include "savewin/settings.h"
#include "trace/report.h"

namespace {

constexpr const char* saver_label = " : *current_saver = ";

// Palette rotation only changes anything on a display that animates its palette.
bool palette_rotates(const EffectRunner& runner) {
    const Palette* palette = runner.stage().screen->palette.get();
    return palette && palette->animating && palette->palette_device;
}

// "+": rotation starts at period 10, or goes twice as fast.
void faster_on(EffectRunner& runner) {
    if (!runner.current_saver || !palette_rotates(runner)) return;
    Saver& saver = *runner.current_saver;
    if (saver.rotation_mode == 0) {
        saver.rotation_mode = 1;
        saver.rotation_period = 10;
    } else {
        saver.rotation_period /= 2;
    }
    saver.rotation_countdown = saver.rotation_period;
}

// Slower rotation doubles the period; it stops growing instead of overflowing.
int32_t doubled(int32_t period) {
    return period > INT32_MAX / 2 ? INT32_MAX : period * 2;
}

void slower_on(EffectRunner& runner) {
    if (!runner.current_saver || !palette_rotates(runner)) return;
    Saver& saver = *runner.current_saver;
    if (saver.rotation_mode == 0) return;
    saver.rotation_period = doubled(saver.rotation_period);
    saver.rotation_countdown = saver.rotation_period;
}

}  // namespace

int SaverWindow::on_key(MessageRecord& record) {
    switch (record.message) {
    case WM_KEYDOWN:
        on_key_down(record.wparam);
        break;
    case WM_SYSKEYDOWN:   // Alt and every Alt combination
    case WM_DEADCHAR:
        wake();
        break;
    case WM_CHAR:
        on_character(static_cast<char>(record.wparam));
        break;
    default:              // key up
        break;
    }
    return 1;
}

// Keys without a character: Ctrl wakes, F5 skips to the next effect and resumes.
void SaverWindow::on_key_down(WPARAM key) {
    if (key == VK_CONTROL) {
        wake();
    } else if (key == VK_F5) {
        for_every_picture([](EffectRunner& runner, int32_t& picture_state) {
            runner.end_effect();
            picture_state = 0;
        });
        invalidate();
    }
}

void SaverWindow::on_character(char character) {
    switch (character) {
    case '+': faster(); break;
    case '-': slower(); break;
    case 'D':
        MessageBeep(0);
        keep_trace = 1;
        break;
    case 'P':
        for_every_picture([](EffectRunner&, int32_t& picture_state) { picture_state = 0; });
        invalidate();
        break;
    case 'T': start_tracing(); break;
    case 'f':
        for_every_picture([](EffectRunner& runner, int32_t&) { runner.end_effect(); });
        break;
    case 'n':
        for_every_picture([](EffectRunner& runner, int32_t&) {
            if (runner.current_saver) runner.current_saver->rotation_mode = 0;
        });
        palette_cycling = !palette_cycling;
        break;
    case 'p': {
        // First press pauses once this effect ends; the second resumes with a new one.
        const bool pausing = state == 0;
        for_every_picture([pausing](EffectRunner& runner, int32_t& picture_state) {
            if (pausing) {
                picture_state = 1;
            } else {
                picture_state = 0;
                runner.end_effect();
            }
        });
        invalidate();
        break;
    }
    case 's': show_options(); break;
    case 't': stop_tracing(); break;
    default: wake(); break;
    }
}

// The trace speaks of the primary's effect only.
void SaverWindow::faster() {
    for_every_picture([](EffectRunner& runner, int32_t&) { faster_on(runner); });
    if (current_saver) trace_entry("savewin", 553, saver_label, *current_saver);
}

void SaverWindow::slower() {
    for_every_picture([](EffectRunner& runner, int32_t&) { slower_on(runner); });
    if (current_saver) trace_entry("savewin", 575, saver_label, *current_saver);
}

// The primary's picture first, then every other monitor's in separate mode.
void SaverWindow::for_every_picture(const std::function<void(EffectRunner&, int32_t&)>& act) {
    act(runner, state);
    monitors.for_each_other_picture(act);
}

void SaverWindow::start_tracing() {
    MessageBeep(0);
    tracing = true;
    settings::write(settings::trace, "yes");
    if (current_saver) trace_entry("savewin", 761, saver_label, *current_saver);
}

void SaverWindow::stop_tracing() {
    tracing = false;
    settings::write(settings::trace, nullptr);
    delete_trace_file();
}

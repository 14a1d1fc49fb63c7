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
bool palette_rotates() {
    const Palette* palette = Screen.palette.get();
    return palette && palette->animating && palette->palette_device;
}

// Slower rotation doubles the period; it stops growing instead of overflowing.
int32_t doubled(int32_t period) {
    return period > INT32_MAX / 2 ? INT32_MAX : period * 2;
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
        if (current_saver) current_saver->done = 1;
        state = 0;
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
        state = 0;
        invalidate();
        break;
    case 'T': start_tracing(); break;
    case 'f':
        if (current_saver) current_saver->done = 1;
        break;
    case 'n':
        if (current_saver) current_saver->rotation_mode = 0;
        palette_cycling = !palette_cycling;
        break;
    case 'p':
        // First press pauses once this effect ends; the second resumes with a new one.
        if (state == 0) {
            state = 1;
        } else {
            state = 0;
            if (current_saver) current_saver->done = 1;
        }
        invalidate();
        break;
    case 's': show_options(); break;
    case 't': stop_tracing(); break;
    default: wake(); break;
    }
}

void SaverWindow::faster() {
    if (!current_saver) return;
    Saver& saver = *current_saver;
    if (palette_rotates()) {
        if (saver.rotation_mode == 0) {
            saver.rotation_mode = 1;
            saver.rotation_period = 10;
        } else {
            saver.rotation_period /= 2;
        }
        saver.rotation_countdown = saver.rotation_period;
    }
    trace_entry("savewin", 553, saver_label, saver);
}

void SaverWindow::slower() {
    if (!current_saver) return;
    Saver& saver = *current_saver;
    if (palette_rotates() && saver.rotation_mode != 0) {
        saver.rotation_period = doubled(saver.rotation_period);
        saver.rotation_countdown = saver.rotation_period;
    }
    trace_entry("savewin", 575, saver_label, saver);
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

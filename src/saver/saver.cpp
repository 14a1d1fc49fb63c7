#include "saver/saver.h"

#include <ctime>

#include "app/application.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/effect_host.h"
#include "trace/report.h"

namespace {

int32_t clock_ticks() { return static_cast<int32_t>(std::clock()); }

int32_t truncated(double value) { return static_cast<int32_t>(value); }

}  // namespace

void IndexRange::print(std::ostream& out) const { out << "[" << first << ".." << last << "]"; }

Saver::Saver(EffectHost* host)
    : host(host),
      stage(host ? host->stage() : Stage::program()),
      rand(stage.rand->next()),
      values(value_count, 0),
      start_time(clock_ticks()) {
    const bool traced = host && stage.primary;
    if (traced) trace_entry("saver2", 49, " : rand.seed() = ", rand.seed());
    done = 0;
    for (int32_t i = 0; i < value_count; ++i) values[i] = static_cast<float>(rand.fraction());
    draw_cycler();
    if (traced) trace_entry("saver2", 85, " : swin->no_msg() = ", host->no_msg() ? 1 : 0);
}

// Without a palette every count is 0: no rotation and no division by the size.
void Saver::draw_cycler() {
    const Palette* palette = stage.screen->palette.get();
    const int32_t size = palette ? palette->size : 0;
    const bool can_cycle = palette && palette->animating && palette->palette_device;
    const bool cycling_allowed = !host || host->palette_cycling_on();

    const double u = rand.fraction();
    rotation_mode = (u >= 0.5 && can_cycle && cycling_allowed) ? truncated(rand.fraction() * 3) : 0;
    rotation_range = IndexRange(0, size - 1);

    rotation_period = truncated(rand.fraction() * 10) + (palette ? palette->ramp_count : 0);
    rotation_countdown = rotation_period;

    const float spread = static_cast<float>(rand.fraction() * (size * 10));
    reversal_period = truncated(rand.fraction() * spread);
    reversal_countdown = reversal_period;
}

void Saver::print(std::ostream& out) const {
    out << " s " << type() << " gdi " << 0 << " mem " << 0 << " " << " seed " << rand.seed() << " "
        << rotation_period;
}

void Saver::run_on(DrawContext& context) {
    if (!context.hdc) return;
    dc = &context;
    if (stage.screen->palette) context.use_palette(*stage.screen->palette);
    run();
    context.restore_pen();
    context.restore_brush();
    context.restore_font();
    dc = nullptr;
}

bool Saver::time_up() { return time_up_at(clock_ticks()); }

bool Saver::time_up_at(int32_t now_ticks) {
    const float minutes = static_cast<float>((now_ticks - start_time) * (1.0 / lifetime_ticks));
    if (minutes > 1.0f) done = 1;
    return minutes > 1.0f;
}

void Saver::palette_tick() {
    if (rotation_mode == 0) return;
    if (rotation_countdown-- != 0) return;
    if (reversal_countdown-- == 0 && !time_up()) {
        rotation_mode = rotation_mode == 1 ? 2 : 1;
        reversal_countdown = reversal_period;
    }
    if (stage.screen->palette) stage.screen->palette->rotate(rotation_mode, rotation_range.first, rotation_range.last);
    rotation_countdown = rotation_period;
}

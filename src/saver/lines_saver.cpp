#include "saver/lines_saver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "gfx/draw_context.h"
#include "gfx/pen_brush.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/effect_host.h"

Array<float> history[4] = {Array<float>(trail_capacity), Array<float>(trail_capacity), Array<float>(trail_capacity),
                           Array<float>(trail_capacity)};

namespace {

Color explicit_colour(const Rgb& colour) { return Color::rgb(colour.red, colour.green, colour.blue); }

bool finite(const Piece& piece) {
    return std::isfinite(piece.xa) && std::isfinite(piece.ya) && std::isfinite(piece.xb) &&
           std::isfinite(piece.yb);
}

}  // namespace

Color erase_colour(erase_colour_unset);

LinesSaver::LinesSaver(EffectHost* host) : Saver(host) {
    draw_motion();
    half_width = static_cast<float>(stage.screen->width * 0.5);
    half_height = static_cast<float>(stage.screen->height * 0.5);
    history_length = truncate_saturated(rand.fraction() * history_capacity) + 1;
    n = rand.draw(64, 3) + 1;
    draw_window();
    draw_look();
}

bool LinesSaver::coin() { return static_cast<int32_t>(rand.fraction() * 2) != 0; }

// Linked: both ends ride one curve, the second behind by the lag.
void LinesSaver::draw_motion() {
    auto u = [this] { return rand.fraction(); };
    const bool linked = coin() && *stage.count >= 2;
    if (linked) {
        f1 = static_cast<float>(u() * 10 + 1);
        f2 = static_cast<float>(u() * 10 + 1);
        f3 = f1;
        f4 = f2;
        p1 = static_cast<float>(u() * lines_pi);
        p2 = static_cast<float>(u() * lines_pi);
        p3 = p1;
        p4 = p2;
        s1 = static_cast<float>(u());
        s2 = static_cast<float>(u());
        s3 = s1;
        s4 = s2;
        spare1 = static_cast<float>(1 - u());
        spare2 = static_cast<float>(1 - u());
        spare3 = spare1;
        spare4 = spare2;
        lag = static_cast<float>(1 - u());
        return;
    }
    for (float* frequency : {&f1, &f3, &f2, &f4}) *frequency = static_cast<float>(u() * 10 + 1);
    for (float* phase : {&p1, &p2, &p3, &p4}) *phase = static_cast<float>(u() * lines_pi);
    for (float* spare : {&spare1, &spare2, &spare3, &spare4}) *spare = static_cast<float>(1 - u());
    for (float* speed : {&s1, &s2, &s3, &s4}) *speed = static_cast<float>(u());
    lag = 0;
}

// Only a saver with four or more copies may sweep a smaller window.
void LinesSaver::draw_window() {
    xmin = ymin = -1;
    xmax = ymax = 1;
    if (n < 4 || !coin() || *stage.count < 2) return;
    xmin = static_cast<float>(rand.fraction() * 2 - 1);
    ymin = static_cast<float>(rand.fraction() * 2 - 1);
    xmax = static_cast<float>(xmin + rand.fraction() * (1 - xmin));
    ymax = static_cast<float>(ymin + rand.fraction() * (1 - ymin));
}

void LinesSaver::draw_look() {
    colour_source = truncate_saturated(rand.fraction() * 4);
    colour_map = truncate_saturated(rand.fraction() * 3);
    colour_a = palette_colour(truncate_saturated(rand.fraction() * palette_size()));
    colour_b = palette_colour(truncate_saturated(rand.fraction() * palette_size()));
    absolute_dx = coin();
    absolute_dy = coin();
    clear_at_start = rand.fraction() < 0.2;
    if (stage.erase_colour->value == erase_colour_unset) *stage.erase_colour = Color::black();
    m1 = 1 << rand.draw(3, 3);
    m2 = coin() ? m1 : 1 << rand.draw(3, 3);
    polar1 = coin();
    polar2 = coin();
}

void LinesSaver::print(std::ostream& out) const {
    out << n << " " << lag << " " << xmin << " " << ymin << " " << xmax << " " << ymax;
    Saver::print(out);
}

void LinesSaver::run() {
    clear_screen();
    // The host's answer stands for the message test and the wait for the
    // frame period; the time test comes after it.
    while (host && host->next_frame(frame_period) && !time_up()) frame();
    time_up();
}

void LinesSaver::clear_screen() {
    if (!clear_at_start || cleared) return;
    Color fill = Color::black();
    if (coin() && *stage.count >= 2) fill = palette_colour(truncate_saturated(rand.fraction() * palette_size()));
    *stage.erase_colour = fill;
    if (dc) {
        const Brush brush(Color(dc->device_colour(fill)));
        dc->fill_rect(stage.screen->rect(), brush);
    }
    cleared = 1;
}

void LinesSaver::frame() {
    float x1 = to_window(lissajous(f1, t1, p1, 0), xmin, xmax);
    float y1 = to_window(lissajous(f2, t2, p2, 0), ymin, ymax);
    float x2 = to_window(lissajous(f3, t3, p3, lag), xmin, xmax);
    float y2 = to_window(lissajous(f4, t4, p4, lag), ymin, ymax);
    if (polar1) polar_turn(x1, y1);
    if (polar2) polar_turn(x2, y2);
    draw_segment(x1, y1, x2, y2, line_colour(), true);
    advance_clock(t1, s1);
    advance_clock(t2, s2);
    advance_clock(t3, s3);
    advance_clock(t4, s4);
    next_colour();
    erase_oldest();
    remember(x1, y1, x2, y2);
}

int32_t LinesSaver::palette_size() const { return stage.screen->palette ? stage.screen->palette->size : 0; }

Color LinesSaver::palette_colour(int32_t index) const {
    return Color(stage.screen->palette ? stage.screen->palette->colour(index) : 0);
}

// A palette-index colour takes its channels from this picture's palette.
Rgb LinesSaver::channels(const Color& colour) const {
    const Palette* palette = stage.screen->palette.get();
    if ((colour.value & 0xFF000000) != Color::kind_index) return Rgb{colour.red(), colour.green(), colour.blue()};
    if (!palette) return Rgb{0, 0, 0};
    const PALETTEENTRY& entry = palette->entry(static_cast<int32_t>(colour.value & 0xFF));
    return Rgb{entry.peRed, entry.peGreen, entry.peBlue};
}

Color LinesSaver::line_colour() const { return palette_colour(colour_index); }

void LinesSaver::next_colour() { colour_index = wrap_index(static_cast<int64_t>(colour_index) + 1, palette_size()); }

void LinesSaver::draw_segment(float x1, float y1, float x2, float y2, Color colour, bool drawing) {
    const bool alternate = n % 2 == 0 && coin();
    for (int32_t i = 0; i < n; ++i) {
        const float theta = static_cast<float>(i * 2 * lines_pi / n);
        const float sine = std::sin(theta);
        const float cosine = std::cos(theta);
        const bool mirrored = alternate && i % 2 != 0;
        float turned_x1 = x1, turned_y1 = mirrored ? -y1 : y1;
        float turned_x2 = x2, turned_y2 = mirrored ? -y2 : y2;
        turn(turned_x1, turned_y1, sine, cosine);
        turn(turned_x2, turned_y2, sine, cosine);
        for (int32_t a = 0; a < m1; ++a) {
            const float xa = to_tile(turned_x1, a, m1);
            const float xb = to_tile(turned_x2, a, m1);
            for (int32_t b = 0; b < m2; ++b) {
                const Piece piece{xa, to_tile(turned_y1, b, m2), xb, to_tile(turned_y2, b, m2)};
                draw_piece(piece, piece_colour(piece, colour, drawing));
            }
        }
        palette_tick();
    }
}

// Map values other than blend and brightness fall back to the palette map.
Color LinesSaver::piece_colour(const Piece& piece, const Color& line, bool drawing) const {
    if (!drawing || !source_uses_piece(colour_source)) return line;
    double v = colour_value(colour_source, piece, absolute_dx, absolute_dy);
    switch (colour_map) {
    case map_blend:
        return explicit_colour(blend(channels(colour_a), channels(colour_b), v));
    case map_brightness:
        if (colour_source == source_direction) v = std::min(v, 1.0);
        return explicit_colour(scale(channels(line), v));
    default:
        return palette_colour(palette_slot(v, palette_size()));
    }
}

// One pen per piece, selected, drawn with, deselected and deleted: the cost of
// a frame is part of the look. A piece with no finite end has nothing to draw.
void LinesSaver::draw_piece(const Piece& piece, const Color& colour) {
    if (!dc || !dc->hdc || !finite(piece)) return;
    const int32_t xa = to_pixel(piece.xa, half_width);
    const int32_t ya = to_pixel(piece.ya, half_height);
    const int32_t xb = to_pixel(piece.xb, half_width);
    const int32_t yb = to_pixel(piece.yb, half_height);
    if (xa == xb && ya == yb) {
        SetPixel(dc->hdc, xa, ya, dc->device_colour(colour));
        return;
    }
    const Pen pen(Color(dc->device_colour(colour)));
    dc->select_pen(pen.handle);
    const int32_t width = stage.screen->width;
    const int32_t height = stage.screen->height;
    MoveToEx(dc->hdc, std::min(xa, width - 1), std::min(ya, height - 1), nullptr);
    LineTo(dc->hdc, std::min(xb, width), std::min(yb, height));
    dc->restore_pen();
}

int32_t LinesSaver::trail_length() const { return std::clamp(history_length, 1, history_capacity); }

void LinesSaver::erase_oldest() {
    if (!history_full) return;
    const int32_t slot = wrap_index(history_index, trail_length());
    const Array<float>* trail = stage.history;
    draw_segment(trail[0][slot], trail[1][slot], trail[2][slot], trail[3][slot], *stage.erase_colour, false);
}

void LinesSaver::remember(float x1, float y1, float x2, float y2) {
    const int32_t length = trail_length();
    const int32_t slot = wrap_index(history_index, length);
    Array<float>* trail = stage.history;
    trail[0][slot] = x1;
    trail[1][slot] = y1;
    trail[2][slot] = x2;
    trail[3][slot] = y2;
    if (slot + 1 == length) history_full = 1;
    history_index = wrap_index(slot + 1, length);
}

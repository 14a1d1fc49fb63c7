#include "saver/lines_math.h"

#include <cmath>
#include <limits>

int32_t truncate_saturated(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

int32_t wrap_index(int64_t index, int32_t n) {
    if (n < 1) return 0;
    const int64_t rest = index % n;
    return static_cast<int32_t>(rest < 0 ? rest + n : rest);
}

float lissajous(float frequency, float time, float phase, float lag) {
    return static_cast<float>(std::sin(frequency * time * 0.01 + phase - lag));
}

float to_window(float v, float lo, float hi) {
    return static_cast<float>(lo + (hi - lo) * (v + 1.0) * 0.5);
}

void polar_turn(float& r, float& a) {
    const double angle = a * lines_pi;
    const double along = r * std::cos(angle);
    const double across = r * std::sin(angle);
    r = static_cast<float>((along - across) * half_root_two);
    a = static_cast<float>((along + across) * half_root_two);
}

void advance_clock(float& time, float speed) {
    time += speed;
    if (time > clock_limit) time = 0.0f;
}

void turn(float& x, float& y, float sine, float cosine) {
    const float turned_x = x * cosine - y * sine;
    const float turned_y = x * sine + y * cosine;
    x = turned_x;
    y = turned_y;
}

float to_tile(float v, int32_t index, int32_t count) {
    if (index % 2 != 0) v = -v;
    // Float division: integer division would collapse every tile to nothing.
    const float lo = static_cast<float>(index) * 2.0f / static_cast<float>(count) - 1.0f;
    const float hi = static_cast<float>(index + 1) * 2.0f / static_cast<float>(count) - 1.0f;
    return lo + (hi - lo) * (v + 1.0f) * 0.5f;
}

int32_t to_pixel(float v, float half) {
    const int32_t pixel = truncate_saturated((v + 1.0) * half);
    if (pixel < pixel_min) return pixel_min;
    if (pixel > pixel_max) return pixel_max;
    return pixel;
}

bool source_uses_piece(int32_t source) {
    return source == source_length || source == source_direction || source == source_distance;
}

double colour_value(int32_t source, const Piece& piece, bool absolute_dx, bool absolute_dy) {
    switch (source) {
    case source_length: {
        const double dx = piece.xb - piece.xa;
        const double dy = piece.yb - piece.ya;
        return std::sqrt(dx * dx + dy * dy) * half_root_two;
    }
    case source_direction: {
        if (piece.xa == piece.xb && piece.ya == piece.yb) return 0.0;
        double dx = piece.xb - piece.xa;
        double dy = -(piece.yb - piece.ya);
        if (absolute_dx) dx = std::fabs(dx);
        if (absolute_dy) dy = std::fabs(dy);
        return (std::atan2(dx, dy) / lines_pi + 1.0) * 0.5;
    }
    case source_distance:
        return std::sqrt(static_cast<double>(piece.xa) * piece.xa + static_cast<double>(piece.ya) * piece.ya);
    default:
        return 0.0;
    }
}

int32_t palette_slot(double v, int32_t n) { return wrap_index(truncate_saturated(n * v), n); }

namespace {

uint32_t low_byte(int32_t value) { return static_cast<uint32_t>(value) & 0xFFu; }

uint32_t blend_channel(uint32_t a, uint32_t b, double v) {
    return low_byte(truncate_saturated(a + v * (static_cast<double>(b) - a)));
}

uint32_t scale_channel(uint32_t channel, double v) { return low_byte(truncate_saturated(v * channel)); }

}  // namespace

Rgb blend(const Rgb& a, const Rgb& b, double v) {
    return Rgb{blend_channel(a.red, b.red, v), blend_channel(a.green, b.green, v),
               blend_channel(a.blue, b.blue, v)};
}

Rgb scale(const Rgb& colour, double v) {
    return Rgb{scale_channel(colour.red, v), scale_channel(colour.green, v), scale_channel(colour.blue, v)};
}

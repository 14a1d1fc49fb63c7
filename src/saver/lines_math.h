#pragma once
#include <cstdint>

// Arithmetic of the lines effect, free of Win32 so it also runs natively.
// Coordinates are normalised: -1..1 across the screen in both directions.

constexpr double lines_pi = 3.14159265358979323846;
// cos 45 degrees as the effect has always rounded it.
constexpr double half_root_two = 0.70710678;
// A motion clock past this restarts from 0.
constexpr float clock_limit = 1000000.0f;
// Pixels are held within the 16-bit range that GDI keeps on every Windows.
constexpr int32_t pixel_min = -32768;
constexpr int32_t pixel_max = 32767;

// Truncation toward zero that never leaves int32_t: NaN gives 0 and values out of
// range give the nearest limit, so no conversion is undefined.
int32_t truncate_saturated(double value);
// index mod n in 0..n-1 for any sign of index; 0 when n < 1 (no palette).
int32_t wrap_index(int64_t index, int32_t n);

// One Lissajous coordinate: sin(frequency * time * 0.01 + phase - lag).
float lissajous(float frequency, float time, float phase, float lag);
// Maps v in -1..1 onto lo..hi.
float to_window(float v, float lo, float hi);
// Reads the point as a radius r and an angle a*pi and turns that polar point by a
// further 45 degrees.
void polar_turn(float& r, float& a);
// Adds the speed; a clock past clock_limit restarts from 0.
void advance_clock(float& time, float speed);

// Turns (x, y) by the angle whose sine and cosine are given.
void turn(float& x, float& y, float sine, float cosine);
// Maps v in -1..1 into tile index of count tiles across -1..1; odd tiles mirror.
float to_tile(float v, int32_t index, int32_t count);
// Pixel of a normalised coordinate: truncate((v + 1) * half), within the pixel range.
int32_t to_pixel(float v, float half);

enum ColourSource : int32_t {
    source_line = 0,
    source_length = 1,
    source_direction = 2,
    source_distance = 3,
};

enum ColourMap : int32_t {
    map_palette = 0,
    map_blend = 1,
    map_brightness = 2,
};

// The end points of one piece of a line, in normalised coordinates.
struct Piece {
    float xa;
    float ya;
    float xb;
    float yb;
};

// True when the source takes its colour from the piece rather than from the line.
bool source_uses_piece(int32_t source);
// The value v of a piece for sources 1..3 (length, direction, distance); 0 otherwise.
double colour_value(int32_t source, const Piece& piece, bool absolute_dx, bool absolute_dy);
// Palette slot of a value: truncate(n * v) mod n.
int32_t palette_slot(double v, int32_t n);

struct Rgb {
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

// Per channel truncate(a + v * (b - a)), kept modulo 256.
Rgb blend(const Rgb& a, const Rgb& b, double v);
// Per channel truncate(v * channel), kept modulo 256.
Rgb scale(const Rgb& colour, double v);

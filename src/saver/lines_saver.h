#pragma once
#include <cstdint>
#include "gfx/color.h"
#include "lib/array.h"
#include "saver/lines_math.h"
#include "saver/saver.h"

// Lines whose two ends ride sine curves, drawn in n turned copies around the
// centre (alternate copies optionally mirrored) and in a grid of mirrored tiles.
// A trail of the last L lines is kept; the oldest is erased as each new one comes.
class LinesSaver : public Saver {
public:
    static constexpr int32_t history_capacity = trail_capacity;

    explicit LinesSaver(EffectHost* host = nullptr);

    int32_t type() const override { return 1; }
    // Frames while the host lets it go on and the time is not up; without a
    // host nothing is drawn.
    void run() override;
    void print(std::ostream& out) const override;

    // Fills the screen once, before the first line, when this saver asks for it.
    void clear_screen();
    // One frame: the newest line, then the oldest of the trail erased.
    virtual void frame();
    // Draws (or erases) one line with all its copies and tiles; the palette
    // cycler ticks once per copy.
    void draw_segment(float x1, float y1, float x2, float y2, Color colour, bool drawing);

    float f1 = 0, f2 = 0, f3 = 0, f4 = 0;
    float p1 = 0, p2 = 0, p3 = 0, p4 = 0;
    float spare1 = 0, spare2 = 0, spare3 = 0, spare4 = 0;
    float t1 = 0, t2 = 0, t3 = 0, t4 = 0;
    float s1 = 0, s2 = 0, s3 = 0, s4 = 0;
    float lag = 0;
    int32_t colour_index = 0;
    float half_width = 0, half_height = 0;
    int32_t history_index = 0;
    int32_t history_length = 1;
    uint8_t history_full = 0;
    int32_t n = 1;
    float xmin = -1, ymin = -1, xmax = 1, ymax = 1;
    int32_t colour_source = source_line;
    int32_t colour_map = map_palette;
    Color colour_a, colour_b;
    uint8_t absolute_dx = 0, absolute_dy = 0;
    uint8_t cleared = 0;
    uint8_t clear_at_start = 0;
    int32_t m1 = 1, m2 = 1;
    uint8_t polar1 = 0, polar2 = 0;
    int32_t frame_period = 1;

protected:
    // The palette colour of the current colour index.
    Color line_colour() const;
    // Moves the colour index on by one entry.
    void next_colour();
    // Erases the oldest line when the trail is full.
    void erase_oldest();
    // Stores a line in the trail and moves the trail on.
    void remember(float x1, float y1, float x2, float y2);

private:
    int32_t palette_size() const;
    Color palette_colour(int32_t index) const;
    Rgb channels(const Color& colour) const;
    bool coin();
    void draw_motion();
    void draw_window();
    void draw_look();
    void draw_piece(const Piece& piece, const Color& colour);
    Color piece_colour(const Piece& piece, const Color& line, bool drawing) const;
    int32_t trail_length() const;
};

// x1, y1, x2, y2 of the lines of the primary picture's trail, shared by every
// saver of the run; a saver reads only the slots it has written itself.
extern Array<float> history[4];
// The colour that erases the primary picture's lines: black, or the colour the
// screen was last filled with.
extern Color erase_colour;

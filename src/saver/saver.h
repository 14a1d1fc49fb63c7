#pragma once
#include <cstdint>
#include "lib/array.h"
#include "lib/printable.h"
#include "saver/random.h"

class DrawContext;

class IndexRange : public Printable {
public:
    IndexRange(int32_t first = 0, int32_t last = -1) : first(first), last(last) {}
    void print(std::ostream& out) const override;   // [first..last]
    int32_t first;
    int32_t last;
};

// The abstract effect: its own generator, a lifetime of a little over a minute,
// and the palette cycler that rotates the animated palette while it draws.
class Saver : public Printable {
public:
    Saver();
    ~Saver() override = default;
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    void print(std::ostream& out) const override;
    virtual int32_t type() const { return 0; }
    // Draws until a message waits for the saver window or the time is up.
    virtual void run() = 0;

    void run_on(DrawContext& context);
    bool time_up();
    void palette_tick();

    DrawContext* dc = nullptr;
    RandomGenerator rand;
    int32_t rotation_mode = 0;
    int32_t rotation_period = 0;
    int32_t rotation_countdown = 0;
    int32_t reversal_period = 0;
    int32_t reversal_countdown = 0;
    IndexRange rotation_range;
    uint8_t done = 0;
    Array<float> values;
    int32_t start_time = 0;
};

// Effects started so far in this run (the first effect runs with 1).
extern uint32_t saver_count;

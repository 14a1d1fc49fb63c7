#pragma once
#include <cstdint>
#include "lib/array.h"
#include "lib/printable.h"
#include "saver/random.h"
#include "saver/stage.h"

class DrawContext;
class EffectHost;

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
    static constexpr int32_t value_count = 50;
    static constexpr int32_t lifetime_ticks = 60000;

    // An effect runs on its host, on the host's stage; one built without a
    // host (tests) takes the program's stage, draws no frames from run,
    // traces nothing and may cycle.
    explicit Saver(EffectHost* host = nullptr);
    ~Saver() override = default;
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    void print(std::ostream& out) const override;
    virtual int32_t type() const { return 0; }
    // Draws frames while the host lets it go on and the time is not up.
    virtual void run() = 0;

    // Runs the effect on the context with the palette selected; a context
    // without a device does nothing.
    void run_on(DrawContext& context);
    // True, and done set, once more than a minute has passed since construction.
    bool time_up();
    // time_up with the clock reading given, in milliseconds.
    bool time_up_at(int32_t now_ticks);
    void palette_tick();

    EffectHost* const host;
    const Stage stage;
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

private:
    void draw_cycler();
};

// Effects started so far in this run on the primary picture (the first effect
// runs with 1); the pictures on other monitors keep their own counts.
extern uint32_t saver_count;
// Set once the "-t" search for a value has run; it runs for the first effect only.
extern bool start_value_waited;

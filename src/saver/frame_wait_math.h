#pragma once
#include <cstdint>
#include <functional>

// The frame wait's rules, free of Win32 so they also run natively.
//
// A sleep asked for comes back no earlier than asked and, on a system whose
// sleeps end on whole milliseconds from the call (Wine's server rounds every
// timeout up so), never for less than one. Whole milliseconds therefore make the
// wake predictable: it comes that long after the call plus a delay that is
// usually well under `guard_us`.

// Whole milliseconds to sleep when the period ends `left_us` from now, such that
// the wake, even `guard_us` late, still comes before the clock tick after the one
// that ends the period. 0 means: too close to the end to sleep, the frame may go.
int32_t frame_sleep_ms(int64_t left_us, int64_t guard_us);

// Paces frames on a steady clock without ever spinning. Each frame is due one
// period after the one before it, so a sleep that comes back late (a coarse
// system timer ends every sleep on its own tick, 15.6 ms apart) is made up by
// the frames after it, which then do not wait, up to `catch_up_us` behind;
// frames that take longer than their period stay that far behind and never wait.
//
// A clock that moves in steps cannot tell how long a frame shorter than a step
// took, so a frame may go up to one step (plus `wake_guard_us`) before it is
// due: the schedule keeps the pace, and a frame that takes longer than its
// period never waits, however coarse the clock. The step is the smallest move
// of the clock seen lately, taken as a system timer's 15.625 ms until a smaller
// one is seen, unless the clock's own step is known.
class FramePacer {
public:
    // Microseconds on a steady clock.
    using Clock = std::function<int64_t()>;
    // Sleeps about the milliseconds given, or less when a message comes;
    // false when a message ended it.
    using Sleep = std::function<bool(int32_t)>;

    static constexpr int64_t catch_up_us = 100000;
    static constexpr int64_t coarsest_step_us = 15625;
    // Clock readings after which the smallest move seen lately is the step.
    static constexpr int32_t readings_per_step = 256;
    // How late a message-aware sleep may come back and still keep the frame
    // inside its tick. Measured under Wine on an idle machine, nine wakes in ten
    // come within 250 us of the whole millisecond asked for.
    static constexpr int64_t wake_guard_us = 350;

    // A clock whose step is known gives it; otherwise it is learnt.
    FramePacer(Clock clock, Sleep sleep, int64_t known_step_us = coarsest_step_us);

    int64_t now() { return read(); }
    // Returns once the frame that started at `start` (a reading of the clock)
    // has had its period of `period_ms`, or when a message came.
    void until(int64_t start, int32_t period_ms);
    // The clock's step as seen so far, in microseconds.
    int64_t step() const { return step_us; }

private:
    // Reads the clock and notes how far it moved.
    int64_t read();

    Clock clock;
    Sleep sleep;
    bool scheduled = false;
    int64_t due = 0;        // when the frame after the last one is due
    int64_t last_end = 0;   // the last reading of the last wait
    int64_t step_us = coarsest_step_us;
    bool read_once = false;
    int64_t last_reading = 0;
    int64_t smallest_move = 0;   // over the current readings; 0: none yet
    int32_t readings = 0;
};

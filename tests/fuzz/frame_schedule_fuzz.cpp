// The effect runner's loop on a simulated clock that the input drives: frames
// of any cost, stalls of seconds, sleeps that end late or early by a message,
// and a clock that jumps back. Whatever it does, no sleep is asked for longer
// than a refresh or a frame period (no hang), a batch draws no more frames
// than its time and the catch-up allow (no burst), the queue is looked at
// about once a millisecond while awake, and a drawn picture is shown within
// the longest wait between showings, a refresh and the last step of the clock.
#include <algorithm>

#include "fuzz_input.h"
#include "runner/frame_schedule_math.h"

namespace {

// How far the clock moves in one step: mostly a little, now and then a stall,
// a jump back or a wait past the end of a sleep.
int64_t step(FuzzInput& in) {
    const uint8_t kind = in.byte();
    const int64_t amount = in.number<uint16_t>();
    switch (kind % 8) {
    case 0: return amount * 40;     // a stall of up to 2.6 s
    case 1: return -amount * 40;    // the clock goes back
    default: return amount % 6000;  // up to 6 ms
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int32_t hz = static_cast<int32_t>(in.in_range(-5, 600));
    const int32_t period_ms = static_cast<int32_t>(in.in_range(1, 40));
    const int64_t period = int64_t{period_ms} * 1000;
    FrameSchedule schedule(hz);
    const int64_t refresh = schedule.refresh_us();
    int64_t now = in.number<uint32_t>();
    int steps = 0;

    while (!in.done() && steps < 4000) {
        now += std::max<int64_t>(step(in), -now);   // a break, or a clock that went back
        schedule.slice_begins(now);
        int64_t last_look = now;
        bool looked_once = false;
        // The batch: frames drawn since the last wake, how far the clock went
        // forward meanwhile, and how often back (each time starting afresh).
        int64_t batch_frames = 0, batch_forward = 0, batch_backs = 0;
        // Since the first frame not yet shown: when, the longest step of the
        // clock, and whether it only went forward.
        bool unshown = false, forward = true;
        int64_t unshown_since = 0, longest_step = 0;
        while (!in.done() && ++steps < 4000) {
            if (schedule.look_due(now)) {
                schedule.looked(now);
                last_look = now;
                looked_once = true;
                if (in.byte() % 16 == 0) break;   // a message ends the slice
            } else {
                FUZZ_CHECK(looked_once && now >= last_look && now - last_look < FrameSchedule::look_interval_us);
            }
            const uint8_t show_cost = in.byte();
            if (schedule.frame_due(now, period_ms)) {
                ++batch_frames;
                FUZZ_CHECK(batch_frames <= (batch_forward + FrameSchedule::catch_up_us) / period + 2 + batch_backs);
                if (unshown && schedule.show_due(now, false)) {
                    schedule.shown(now, now + show_cost);
                    now += show_cost;
                    batch_forward += show_cost;
                    unshown = false;
                }
                if (!unshown) unshown_since = now, longest_step = 0, forward = true;
                unshown = true;
                const int64_t cost = step(in);
                longest_step = std::max(longest_step, cost);
                forward = forward && cost >= 0;
                now = std::max<int64_t>(now + cost, 0);
                batch_forward += std::max<int64_t>(cost, 0);
                batch_backs += cost < 0;
                continue;
            }
            if (unshown && schedule.show_due(now, true)) {
                schedule.shown(now, now + show_cost);
                now += show_cost;
                unshown = false;
            }
            if (unshown && forward)
                FUZZ_CHECK(now - unshown_since <=
                           FrameSchedule::longest_show_interval_us + 2 * refresh + period + longest_step + 255);
            const int64_t wake = schedule.wake_time(now);
            FUZZ_CHECK(wake >= now && wake - now <= std::max(refresh, period));
            // The sleep ends at its time, late, early by a message, or on a clock that went back.
            const int64_t late = step(in);
            const bool by_message = late < 0 || (late % 5 == 1 && wake > now);
            now = by_message ? (late < 0 ? std::max<int64_t>(now + late, 0) : now + (wake - now) / 2) : wake + late;
            longest_step = std::max(longest_step, now - wake);
            forward = forward && late >= 0;
            schedule.woke(now, by_message);
            if (!by_message) last_look = now;   // a sleep that its time ended saw no message
            batch_frames = batch_forward = batch_backs = 0;
        }
    }
    return 0;
}

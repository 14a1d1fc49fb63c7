#include "saver/frame_wait.h"

#include <cstdlib>

#include <mmsystem.h>

#include "saver/frame_wait_math.h"

namespace {

// How late a message-aware sleep may come back and still keep the frame inside
// its tick. Measured under Wine on an idle machine, nine wakes in ten come within
// 250 us of the whole millisecond asked for.
constexpr int64_t wake_guard_us = 350;
// The counter and the clock may come from different sources that drift apart;
// the clock's edge is measured again at least this often.
constexpr int32_t waits_per_calibration = 1000;
// Short sleeps that mostly come back sooner than this after the time asked
// for can aim at the tick itself (Wine: mostly within 200 us).
constexpr int64_t fine_sleep_late_us = 400;
constexpr int64_t probe_sleep_us = 200;

bool message_waiting(HWND window) {
    MSG message;
    return PeekMessageA(&message, window, 0, 0, PM_NOREMOVE) != 0;
}

bool period_passed(std::clock_t start, int32_t period) {
    return std::labs(static_cast<long>(std::clock() - start)) >= period;
}

}  // namespace

FrameWait::FrameWait() {
    LARGE_INTEGER counts;
    QueryPerformanceFrequency(&counts);
    frequency = counts.QuadPart;
    fine_resolution = timeBeginPeriod(1) == TIMERR_NOERROR;
    // The native delay takes 100 ns units; where the system keeps to them (Wine
    // sleeps the thread itself, without its server), the last tick of a frame is
    // slept away instead of spun.
    if (HMODULE ntdll = GetModuleHandleA("ntdll.dll")) {
        delay = reinterpret_cast<DelayFunction>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtDelayExecution")));
    }
}

FrameWait::~FrameWait() {
    if (fine_resolution) timeEndPeriod(1);
}

void FrameWait::until(std::clock_t start, int32_t period, HWND window) {
    if (spin || frequency <= 0) {
        spin_until(start, period, window);
        return;
    }
    if (waits_since_edge < 0 || waits_since_edge >= waits_per_calibration) calibrate();
    ++waits_since_edge;
    const std::clock_t target = start + period;
    while (!period_passed(start, period)) {
        const int64_t left_us = (tick_time(target) - now()) * 1000000 / frequency;
        // Within the last tick: no message can end this sleep, but the loop
        // looks at the queue again as soon as the tick comes, which is no later
        // than a frame's own drawing would.
        if (fine_sleeps && left_us > 0 && left_us <= 1000000 / CLOCKS_PER_SEC) {
            short_sleep(left_us);
            continue;
        }
        const int32_t sleep_ms = frame_sleep_ms(left_us, wake_guard_us);
        if (sleep_ms > 0) {
            // Without MWMO_INPUTAVAILABLE only messages that came since the loop's
            // own look at the queue wake it; one left there for another window
            // would otherwise end every sleep at once and make it a busy wait.
            const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(sleep_ms), QS_ALLINPUT, 0);
            if (woke != WAIT_TIMEOUT) return;
            continue;
        }
        // Close to the tick: spin on the clock alone (no message test, so the
        // server stays idle) and note the edge.
        const int64_t give_up = now() + (wake_guard_us + 1000) * frequency / 1000000;
        while (!period_passed(start, period) && now() < give_up) {
        }
        if (period_passed(start, period)) {
            note_edge();
            return;
        }
        calibrate();   // the clock is not where it was expected to be
    }
}

void FrameWait::spin_until(std::clock_t start, int32_t period, HWND window) const {
    while (!period_passed(start, period) && !message_waiting(window)) {
    }
}

int64_t FrameWait::tick_time(std::clock_t tick) const {
    return edge_time + static_cast<int64_t>(tick - edge_tick) * frequency / CLOCKS_PER_SEC;
}

void FrameWait::calibrate() {
    // Coarse sleeps are tried again now and then: the system's timer may change.
    if (delay && !fine_sleeps) short_sleep(probe_sleep_us);
    const std::clock_t before = std::clock();
    const int64_t give_up = now() + frequency / 50;
    while (std::clock() == before && now() < give_up) {
    }
    note_edge();
}

void FrameWait::note_edge() {
    edge_time = now();
    edge_tick = std::clock();
    waits_since_edge = 0;
}

void FrameWait::short_sleep(int64_t microseconds) {
    LARGE_INTEGER interval;
    interval.QuadPart = -microseconds * 10;   // relative
    const int64_t before = now();
    delay(FALSE, &interval);
    const bool late = (now() - before) * 1000000 / frequency - microseconds >= fine_sleep_late_us;
    const int32_t sample = late ? 1000 : 0;
    late_short_sleeps = late_short_sleeps < 0 ? sample : (7 * late_short_sleeps + sample) / 8;
    fine_sleeps = late_short_sleeps < 500;
}

int64_t FrameWait::now() const {
    LARGE_INTEGER counts;
    QueryPerformanceCounter(&counts);
    return counts.QuadPart;
}

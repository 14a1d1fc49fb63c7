#include "saver/frame_wait.h"

#include <cstdlib>

#include <mmsystem.h>

namespace {

// Wine's server wakes sleepers at whole milliseconds of its own, up to one late;
// sleeping to this much before the tick and spinning the rest keeps a frame
// of a light effect inside its tick.
constexpr int64_t early_wake_us = 250;
// The counter and the clock may come from different sources that drift apart;
// the clock's edge is measured again at least this often.
constexpr int32_t waits_per_calibration = 1000;

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

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
    // Older systems (and Wine 8) lack the high-resolution timer; a plain one then
    // fires on the system tick, which timeBeginPeriod makes one millisecond.
    timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!timer) timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    fine_resolution = timeBeginPeriod(1) == TIMERR_NOERROR;
}

FrameWait::~FrameWait() {
    if (timer) CloseHandle(timer);
    if (fine_resolution) timeEndPeriod(1);
}

void FrameWait::until(std::clock_t start, int32_t period, HWND window) {
    if (spin || frequency <= 0) {
        spin_until(start, period, window);
        return;
    }
    if (waits_since_edge < 0 || waits_since_edge >= waits_per_calibration) calibrate();
    ++waits_since_edge;
    const int64_t early = early_wake_us * frequency / 1000000;
    while (!period_passed(start, period) && !message_waiting(window)) {
        const std::clock_t target = start + period;
        const int64_t left = tick_time(target) - now();
        if (left > early) {
            sleep(left - early);
            continue;
        }
        // Close to the tick, or past where it was expected: spin on the clock
        // alone (no message test, so the server stays idle) and note the edge.
        const int64_t give_up = now() + early + frequency / 1000;
        while (!period_passed(start, period) && now() < give_up) {
        }
        if (period_passed(start, period)) {
            edge_time = now();
            edge_tick = std::clock();
            waits_since_edge = 0;
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
    const std::clock_t before = std::clock();
    const int64_t give_up = now() + frequency / 50;
    std::clock_t tick = before;
    while (tick == before && now() < give_up) tick = std::clock();
    edge_time = now();
    edge_tick = tick;
    waits_since_edge = 0;
}

void FrameWait::sleep(int64_t counts) const {
    const int64_t microseconds = counts * 1000000 / frequency;
    const DWORD safety_ms = static_cast<DWORD>(microseconds / 1000 + 2);
    if (timer) {
        LARGE_INTEGER due;
        due.QuadPart = -(microseconds * 10);   // relative, in 100 ns units
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            MsgWaitForMultipleObjectsEx(1, &timer, safety_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            return;
        }
    }
    const DWORD ms = static_cast<DWORD>((microseconds + 999) / 1000);
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

int64_t FrameWait::now() const {
    LARGE_INTEGER counts;
    QueryPerformanceCounter(&counts);
    return counts.QuadPart;
}

#include "saver/frame_wait.h"

#include <utility>

#include <mmsystem.h>

namespace {

bool message_waiting(HWND window) {
    MSG message;
    return PeekMessageA(&message, window, 0, 0, PM_NOREMOVE) != 0;
}

int64_t counter_frequency() {
    LARGE_INTEGER counts;
    QueryPerformanceFrequency(&counts);
    return counts.QuadPart > 0 ? counts.QuadPart : 1;
}

}  // namespace

// The counter moves every microsecond or so.
FrameWait::FrameWait() : pacer(&FrameWait::counter_us, &FrameWait::message_sleep, 1) {
    // Where the system grants it, sleeps end within a millisecond of the time asked.
    fine_resolution = timeBeginPeriod(1) == TIMERR_NOERROR;
}

FrameWait::~FrameWait() { release(); }

void FrameWait::until(int64_t start, int32_t period, HWND window) {
    if (!fine_resolution) fine_resolution = timeBeginPeriod(1) == TIMERR_NOERROR;
    if (spin) {
        spin_until(start, period, window);
        return;
    }
    pacer.until(start, period);
}

void FrameWait::release() {
    if (fine_resolution) timeEndPeriod(1);
    fine_resolution = false;
}

void FrameWait::pace_with(FramePacer::Clock clock, FramePacer::Sleep sleep) {
    pacer = FramePacer(std::move(clock), std::move(sleep));
}

void FrameWait::spin_until(int64_t start, int32_t period, HWND window) const {
    while (counter_us() - start < int64_t{period} * 1000 && !message_waiting(window)) {
    }
}

int64_t FrameWait::counter_us() {
    // Fixed at boot: asked once, not on every reading of a frame's hot loop.
    static const int64_t frequency = counter_frequency();
    LARGE_INTEGER counts;
    QueryPerformanceCounter(&counts);
    // Split so that the product does not overflow on a fast counter.
    return counts.QuadPart / frequency * 1000000 + counts.QuadPart % frequency * 1000000 / frequency;
}

// Without MWMO_INPUTAVAILABLE only messages that came since the caller's own
// look at the queue wake it; one left there for another window would otherwise
// end every sleep at once and make it a busy wait.
bool FrameWait::message_sleep(int32_t milliseconds) {
    return MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT, 0) == WAIT_TIMEOUT;
}

#include <gtest/gtest.h>

#include <cstdint>

#include <windows.h>

#include "saver/frame_wait.h"

namespace {

// A hidden window with a queue to look at, as the effect's loop looks at its own.
struct Windows {
    Windows() {
        saver = CreateWindowExA(0, "STATIC", "saver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    ~Windows() {
        DestroyWindow(other);
        DestroyWindow(saver);
    }
    // The loop's message test before each frame.
    bool no_msg() const {
        MSG message;
        return !PeekMessageA(&message, saver, 0, 0, PM_NOREMOVE);
    }
    HWND saver;
    HWND other;
};

int64_t thread_cpu_ms() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 10000);
    };
    return ms(kernel) + ms(user);
}

// A frame may go as early as the wake guard: the schedule keeps the pace.
constexpr int64_t earliest_us(int32_t period) { return int64_t{period} * 1000 - FramePacer::wake_guard_us; }

TEST(FrameWait, ReturnsWhenThePeriodHasPassedWithoutBurningIt) {
    Windows windows;
    for (int32_t period : {1, 3, 120}) {
        // A wait of its own each: back to back, a late wake is made up by the next.
        FrameWait wait;
        ASSERT_TRUE(windows.no_msg());
        const int64_t cpu_before = thread_cpu_ms();
        const int64_t start = wait.now();
        wait.until(start, period, windows.saver);
        EXPECT_GE(wait.now() - start, earliest_us(period));
        if (period == 120) {
            EXPECT_LT(thread_cpu_ms() - cpu_before, 60) << "the wait spun instead of sleeping";
        }
    }
}

// The effect's own case: one-tick periods back to back, each ended by a sleep.
TEST(FrameWait, OneTickPeriodsKeepTheirPaceAsleep) {
    Windows windows;
    FrameWait wait;
    constexpr int32_t frames = 300;
    const int64_t cpu_before = thread_cpu_ms();
    const int64_t first = wait.now();
    for (int32_t i = 0; i < frames; ++i) wait.until(wait.now(), 1, windows.saver);
    const int64_t elapsed_ms = (wait.now() - first) / 1000;
    EXPECT_GE(elapsed_ms, frames - 1);
    EXPECT_LT(thread_cpu_ms() - cpu_before, elapsed_ms / 2) << "the waits spun instead of sleeping";
}

TEST(FrameWait, AMessageThatArrivesEndsItButOneLeftForAnotherWindowDoesNot) {
    Windows windows;
    // A wait of its own, with no frame before: one that came back late would be
    // made up by this one, which would then end early by design.
    FrameWait wait;
    constexpr int32_t period = 150;

    // Left in the queue for another window before the loop looked: the wait
    // neither ends early nor turns into a busy wait.
    PostMessageA(windows.other, WM_USER, 0, 0);
    ASSERT_TRUE(windows.no_msg());
    int64_t cpu_before = thread_cpu_ms();
    int64_t start = wait.now();
    wait.until(start, period, windows.saver);
    EXPECT_GE(wait.now() - start, earliest_us(period));
    EXPECT_LT(thread_cpu_ms() - cpu_before, period / 2) << "the wait spun on the old message";

    // Posted during the frame, after the loop looked: it ends the wait at once.
    ASSERT_TRUE(windows.no_msg());
    PostMessageA(windows.saver, WM_USER, 0, 0);
    start = wait.now();
    wait.until(start, period, windows.saver);
    EXPECT_LT(wait.now() - start, earliest_us(period));
    EXPECT_FALSE(windows.no_msg());

    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace

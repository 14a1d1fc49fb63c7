#pragma once
#include <cstdint>

// The frame wait's rule, free of Win32 so it also runs natively.
//
// A sleep asked for comes back no earlier than asked and, on a system whose
// sleeps end on whole milliseconds from the call (Wine's server rounds every
// timeout up so), never for less than one. Whole milliseconds therefore make the
// wake predictable: it comes that long after the call plus a delay that is
// usually well under `guard_us`.

// Whole milliseconds to sleep when the period ends `left_us` from now, such that
// the wake, even `guard_us` late, still comes before the clock tick after the one
// that ends the period. 0 means: too close to the end to sleep, spin instead.
int32_t frame_sleep_ms(int64_t left_us, int64_t guard_us);

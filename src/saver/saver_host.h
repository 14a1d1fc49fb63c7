#pragma once
#include <windows.h>
#include <cstdint>

// The window the effects draw in, as the effects and the scheduler see it: the
// full-screen saver window or a preview. The one that exists is saver_host.
class SaverHost {
public:
    virtual ~SaverHost() = default;

    // True when no message is waiting for message_window.
    virtual bool no_msg() const = 0;
    // The window whose messages end a slice of drawing; null for any window of
    // the thread.
    virtual HWND message_window() const = 0;
    // The palette-cycling switch that new savers read.
    virtual bool palette_cycling_on() const = 0;
    // The trace file is kept at effect changes.
    virtual bool trace_kept() const = 0;
    // The program's version text, for the trace summary.
    virtual const char* version_text() const = 0;
    // The shortest frame in milliseconds; 0 leaves the effect its own pace.
    virtual int32_t least_frame_ms() const { return 0; }
    // Between two effects, after the ended one is summed up and before the
    // next one is made: a window whose size changed during the effect takes it
    // here, so each summary shows the size its effect ran at.
    virtual void between_effects() {}
};

// The window the effects draw in; null when there is none (unit tests build
// savers without one).
extern SaverHost* saver_host;

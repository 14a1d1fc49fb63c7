#pragma once
#include <cstdint>
#include "saver/stage.h"

// The runner of an effect, as the effect sees it. The effect draws its frames;
// between two frames it asks whether to go on, and the runner decides whether
// the next frame comes at once, or after the picture is shown and the thread
// has slept. Nothing else tells an effect where it runs.
class EffectHost {
public:
    virtual ~EffectHost() = default;
    // Before each frame of a slice: true when the next frame is to be drawn
    // now; false ends the slice (a message waits, or the display is off).
    virtual bool next_frame(int32_t period_ms) = 0;
    // True when no message is waiting for the window the effect draws in.
    virtual bool no_msg() const = 0;
    // The palette-cycling switch that new effects read.
    virtual bool palette_cycling_on() const = 0;
    // The screen, generator, count and trail the effects of this picture share.
    virtual Stage stage() const = 0;
};

#pragma once
#include <cstdint>

#include "gfx/draw_context.h"

// Told when a frame, or a whole slice, of the effect is drawn.
class FrameListener {
public:
    virtual ~FrameListener() = default;
    virtual void frame_done() = 0;
    virtual void slice_done() = 0;
};

// Lends the device and colours of another context to an effect, and passes the
// ends of its frames and slices on to that context and then to a listener that
// shows the picture somewhere else too. The device stays the other context's.
class RelayContext : public DrawContext {
public:
    RelayContext(DrawContext& target, FrameListener& listener);
    ~RelayContext() override;

    uint32_t device_colour(const Color& colour) override;
    void frame_done() override;
    void slice_done() override;

private:
    DrawContext& target;
    FrameListener& listener;
};

#include "gfx/relay_context.h"

RelayContext::RelayContext(DrawContext& target, FrameListener& listener)
    : DrawContext(target.hdc), target(target), listener(listener) {}

// What was selected through this context goes back before the device is handed
// back undeleted.
RelayContext::~RelayContext() {
    restore_font();
    restore_pen();
    restore_brush();
    hdc = nullptr;
}

uint32_t RelayContext::device_colour(const Color& colour) { return target.device_colour(colour); }

void RelayContext::frame_done() {
    target.frame_done();
    listener.frame_done();
}

void RelayContext::slice_done() {
    target.slice_done();
    listener.slice_done();
}

#pragma once
#include <cstdint>
#include "saver/lines_saver.h"

// A light lines effect, one line a millisecond, that counts its frames.
class CountedLines : public LinesSaver {
public:
    explicit CountedLines(int64_t& frames) : frames(frames) {
        n = 1;
        m1 = m2 = 1;
        frame_period = 1;
    }
    void frame() override {
        ++frames;
        LinesSaver::frame();
    }
    int64_t& frames;
};

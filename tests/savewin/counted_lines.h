#pragma once
#include <atomic>
#include <cstdint>
#include "saver/lines_saver.h"

// A light lines effect, one line a millisecond, that counts its frames where
// another thread may read them.
class CountedLines : public LinesSaver {
public:
    CountedLines(std::atomic<int64_t>& frames, EffectHost& host) : LinesSaver(&host), frames(frames) {
        n = 1;
        m1 = m2 = 1;
        frame_period = 1;
    }
    void frame() override {
        ++frames;
        LinesSaver::frame();
    }
    std::atomic<int64_t>& frames;
};

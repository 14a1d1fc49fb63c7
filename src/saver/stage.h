#pragma once
#include <cstdint>
#include "gfx/color.h"
#include "gfx/screen.h"
#include "lib/array.h"
#include "saver/random.h"

// What the effects of one picture share from one effect to the next: the
// screen they draw on (its size and palette), the generator each effect takes
// its seed from, the count of effects started, the trail of lines and the
// colour that erases them. The primary picture's are the program's own
// (Screen, app.rand, saver_count, history, erase_colour), so a run on one
// monitor is the run it has always been; a picture on another monitor has a
// stage of its own, and the two never touch each other's draws.
struct Stage {
    ScreenRecord* screen;
    RandomGenerator* rand;
    uint32_t* count;
    Array<float>* history;   // x1, y1, x2, y2
    Color* erase_colour;
    // The primary picture traces, and takes the "-b" and "-t" searches.
    bool primary;

    static Stage program();
};

// No colour word has this kind byte: it marks an erase colour not yet chosen,
// since black depends on the display the palette finds.
constexpr uint32_t erase_colour_unset = 0xFFFFFFFF;
constexpr int32_t trail_capacity = 1000;

// A stage of its own, for a picture beside the primary's.
class OwnStage {
public:
    explicit OwnStage(int32_t seed);
    OwnStage(const OwnStage&) = delete;
    OwnStage& operator=(const OwnStage&) = delete;
    Stage stage();

    ScreenRecord screen;
    RandomGenerator rand;
    uint32_t count = 0;
    Array<float> history[4];
    Color erase_colour;
};

// The seed of the picture at a place in the list of other monitors: taken
// from the run's seed without a draw, so "-r" reproduces every monitor.
int32_t stage_seed(int32_t run_seed, int32_t place);

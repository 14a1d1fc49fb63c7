#include "saver/stage.h"

#include "app/application.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"
#include "saver/saver.h"

Stage Stage::program() { return Stage{&Screen, &app.rand, &saver_count, ::history, &::erase_colour, true}; }

OwnStage::OwnStage(int32_t seed)
    : rand(seed),
      history{Array<float>(trail_capacity), Array<float>(trail_capacity), Array<float>(trail_capacity),
              Array<float>(trail_capacity)},
      erase_colour(erase_colour_unset) {}

Stage OwnStage::stage() { return Stage{&screen, &rand, &count, history, &erase_colour, false}; }

// The generator takes any seed; places are spread far apart so that no two
// monitors start alike.
int32_t stage_seed(int32_t run_seed, int32_t place) {
    const int64_t spread = static_cast<int64_t>(run_seed) + 7919LL * (place + 1);
    return static_cast<int32_t>(spread % 1000000000LL);
}

#include "gfx/screen.h"

#include <algorithm>

#include "saver/palette.h"

ScreenRecord Screen;

ScreenRecord::~ScreenRecord() = default;

RECT ScreenRecord::rect() const {
    return RECT{std::min(width, 0), std::min(height, 0), std::max(width, 1), std::max(height, 1)};
}

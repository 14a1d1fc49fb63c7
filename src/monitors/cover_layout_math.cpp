#include "monitors/cover_layout_math.h"

#include <algorithm>

namespace {

void add_unless_empty(std::vector<CoverRect>& covers, const CoverRect& r) {
    if (!empty(r)) covers.push_back(r);
}

}  // namespace

std::vector<CoverRect> cover_layout(const std::vector<CoverRect>& monitors, const CoverRect& saver) {
    std::vector<CoverRect> covers;
    for (const CoverRect& m : monitors) {
        if (empty(m)) continue;
        const CoverRect overlap{std::max(m.left, saver.left), std::max(m.top, saver.top),
                                std::min(m.right, saver.right), std::min(m.bottom, saver.bottom)};
        if (empty(saver) || empty(overlap)) {
            covers.push_back(m);
            continue;
        }
        // Full-width bands above and below the overlap, then the rows beside it.
        add_unless_empty(covers, {m.left, m.top, m.right, overlap.top});
        add_unless_empty(covers, {m.left, overlap.bottom, m.right, m.bottom});
        add_unless_empty(covers, {m.left, overlap.top, overlap.left, overlap.bottom});
        add_unless_empty(covers, {overlap.right, overlap.top, m.right, overlap.bottom});
    }
    return covers;
}

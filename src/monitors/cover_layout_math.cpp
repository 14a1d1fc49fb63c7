#include "monitors/cover_layout_math.h"

#include <algorithm>

namespace {

void add_unless_empty(std::vector<CoverRect>& covers, const CoverRect& r) {
    if (!empty(r)) covers.push_back(r);
}

// Each piece less the hole: full-width bands above and below the overlap,
// then the rows beside it.
void cut_out(std::vector<CoverRect>& pieces, const CoverRect& hole) {
    if (empty(hole)) return;
    std::vector<CoverRect> kept;
    for (const CoverRect& r : pieces) {
        const CoverRect overlap{std::max(r.left, hole.left), std::max(r.top, hole.top),
                                std::min(r.right, hole.right), std::min(r.bottom, hole.bottom)};
        if (empty(overlap)) {
            kept.push_back(r);
            continue;
        }
        add_unless_empty(kept, {r.left, r.top, r.right, overlap.top});
        add_unless_empty(kept, {r.left, overlap.bottom, r.right, r.bottom});
        add_unless_empty(kept, {r.left, overlap.top, overlap.left, overlap.bottom});
        add_unless_empty(kept, {overlap.right, overlap.top, r.right, overlap.bottom});
    }
    pieces.swap(kept);
}

}  // namespace

std::vector<CoverRect> cover_layout(const std::vector<CoverRect>& monitors, const CoverRect& saver) {
    std::vector<CoverRect> covers;
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (empty(monitors[i])) continue;
        std::vector<CoverRect> pieces{monitors[i]};
        cut_out(pieces, saver);
        // Where monitors overlap (a clone, outputs placed over each other) the
        // earlier one's covers are there already: one black window is enough.
        for (size_t j = 0; j < i; ++j) cut_out(pieces, monitors[j]);
        covers.insert(covers.end(), pieces.begin(), pieces.end());
    }
    return covers;
}

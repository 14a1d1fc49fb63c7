#include "gfx/pen_brush.h"

#include "gfx/screen.h"
#include "saver/palette.h"

GdiCounts gdi_counts;

namespace {

// Counted so that tests can compare creations with deletions.
template <typename Handle>
Handle counted(Handle handle) {
    if (handle) ++gdi_counts.created;
    return handle;
}

void delete_counted(HGDIOBJ handle) {
    if (handle && DeleteObject(handle)) ++gdi_counts.deleted;
}

// Palette-index and palette-relative words only mean something while the
// palette animates; otherwise the brush takes the plain RGB part.
COLORREF brush_word(const Color& colour) {
    const bool animating = Screen.palette && Screen.palette->animating;
    return animating ? colour.value : colour.value & 0x00FFFFFF;
}

}  // namespace

Brush::Brush(const Color& colour)
    : handle(counted(CreateSolidBrush(brush_word(colour)))), owned(1) {}

Brush::~Brush() {
    if (owned) delete_counted(handle);
}

Pen::Pen(const Color& colour, int32_t width, int32_t style)
    : handle(nullptr), width(width < 1 ? 1 : width), style(style) {
    handle = counted(CreatePen(style, this->width, colour.value));
}

Pen::~Pen() { delete_counted(handle); }

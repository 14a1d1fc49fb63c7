// placeholder: replaced by the owner of gfx/ (split into its own files)
#include "gfx/color.h"
#include "gfx/draw_context.h"
#include "gfx/pen_brush.h"
#include "gfx/screen.h"
#include "saver/palette.h"
bool true_color = false;
ScreenRecord Screen;
GdiCounts gdi_counts;
ScreenRecord::~ScreenRecord() = default;
RECT ScreenRecord::rect() const { return RECT{0, 0, width, height}; }
Color Color::rgb(uint32_t, uint32_t, uint32_t) { return Color(0); }
uint32_t Color::red() const { return 0; }
uint32_t Color::green() const { return 0; }
uint32_t Color::blue() const { return 0; }
void Color::print(std::ostream&) const {}
Brush::Brush(const Color&) : handle(nullptr), owned(0) {}
Brush::~Brush() {}
Pen::Pen(const Color&, int32_t, int32_t) : handle(nullptr), width(1), style(0) {}
Pen::~Pen() {}
DrawContext::~DrawContext() {}
void DrawContext::use_palette(const Palette&) {}
void DrawContext::fill_screen(const Brush&) {}
void DrawContext::fill_rect(const RECT&, const Brush&) {}
void DrawContext::select_pen(HPEN) {}
void DrawContext::restore_pen() {}
void DrawContext::restore_brush() {}
void DrawContext::restore_font() {}
PaintContext::PaintContext(Window&) : paint_record{}, window(nullptr) {}
PaintContext::~PaintContext() {}

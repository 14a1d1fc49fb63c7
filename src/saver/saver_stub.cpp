// placeholder: replaced by the owner of saver/ (split into its own files)
#include "saver/palette.h"
#include "saver/saver.h"
#include "savewin/saver_window.h"
uint32_t saver_count = 0;
DisplayCaps DisplayCaps::of_screen() { return {}; }
Palette::Palette() {}
Palette::Palette(const DisplayCaps&) {}
Palette::~Palette() {}
void Palette::build() {}
uint32_t Palette::colour(int32_t) const { return 0; }
void Palette::animate() {}
void Palette::rotate(int32_t, int32_t, int32_t) {}
void IndexRange::print(std::ostream&) const {}
Saver::Saver() {}
void Saver::print(std::ostream&) const {}
void Saver::run_on(DrawContext&) {}
bool Saver::time_up() { return false; }
void Saver::palette_tick() {}
void SaverWindow::next_saver() {}

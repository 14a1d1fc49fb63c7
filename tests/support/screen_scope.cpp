#include "support/screen_scope.h"

#include "app/application.h"
#include "gfx/color.h"

ScreenScope::ScreenScope(int32_t width, int32_t height) : ScreenScope(DisplayCaps::of_screen(), width, height) {}

ScreenScope::ScreenScope(const DisplayCaps& caps, int32_t width, int32_t height)
    : saved_palette(std::move(Screen.palette)),
      saved_width(Screen.width),
      saved_height(Screen.height),
      saved_true_color(true_color) {
    Screen.width = width;
    Screen.height = height;
    Screen.palette = std::make_unique<Palette>(caps);
}

ScreenScope::~ScreenScope() {
    Screen.palette = std::move(saved_palette);
    Screen.width = saved_width;
    Screen.height = saved_height;
    true_color = saved_true_color;
}

CommandLineScope::CommandLineScope(const char* command_line) : saved(app.command_line) {
    app.command_line = command_line;
}

CommandLineScope::~CommandLineScope() { app.command_line = saved; }

DisplayCaps palette_display_caps() {
    DisplayCaps caps;
    caps.raster_caps = RC_PALETTE;
    caps.size_palette = 256;
    caps.num_colors = -1;
    caps.num_reserved = 20;
    caps.bits_per_pixel = 8;
    return caps;
}

DisplayCaps true_colour_caps() {
    DisplayCaps caps;
    caps.num_colors = -1;
    caps.bits_per_pixel = 32;
    return caps;
}

DisplayCaps sixteen_colour_caps() {
    DisplayCaps caps;
    caps.num_colors = 16;
    caps.bits_per_pixel = 4;
    return caps;
}

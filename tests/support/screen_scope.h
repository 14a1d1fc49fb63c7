#pragma once
#include <memory>

#include "gfx/screen.h"
#include "saver/palette.h"

// Gives a test its own Screen record and palette, and puts back the previous
// ones (and true_color, which the palette sets) when the test ends.
class ScreenScope {
public:
    // A palette from the real display's capabilities.
    ScreenScope(int32_t width = 640, int32_t height = 480);
    // A palette from the given capabilities.
    ScreenScope(const DisplayCaps& caps, int32_t width = 640, int32_t height = 480);
    ~ScreenScope();
    ScreenScope(const ScreenScope&) = delete;
    ScreenScope& operator=(const ScreenScope&) = delete;

    Palette& palette() { return *Screen.palette; }

private:
    std::unique_ptr<Palette> saved_palette;
    int32_t saved_width;
    int32_t saved_height;
    bool saved_true_color;
};

// Sets app.command_line for the life of a test.
class CommandLineScope {
public:
    explicit CommandLineScope(const char* command_line);
    ~CommandLineScope();
    CommandLineScope(const CommandLineScope&) = delete;
    CommandLineScope& operator=(const CommandLineScope&) = delete;

private:
    const char* saved;
};

// Capabilities of typical displays.
DisplayCaps palette_display_caps();     // 8 bits, 256 entries, 20 reserved
DisplayCaps true_colour_caps();         // 32 bits, no palette
DisplayCaps sixteen_colour_caps();      // 4 bits, NUMCOLORS 16, no palette

// Cycles the real palette on the real display the way a running saver does:
// one palette step between two drawing slices, each slice selecting and
// realising the palette again. After every slice it compares the display's
// system palette with the slice before and the palette object with our
// entries, and writes the counts to TEMP\palette_probe.txt.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "gfx/draw_context.h"
#include "gfx/screen.h"
#include "saver/palette.h"
#include "saver/saver.h"

namespace {

constexpr int slices = 20;

// A saver that only cycles: one step per tick, never reversing.
class CyclingSaver : public Saver {
public:
    CyclingSaver() {
        rotation_mode = 1;
        rotation_period = rotation_countdown = 0;
        reversal_period = reversal_countdown = 1000;
    }
    void run() override {}
};

bool same_entries(const PALETTEENTRY* a, const PALETTEENTRY* b, int count) {
    for (int i = 0; i < count; ++i)
        if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen || a[i].peBlue != b[i].peBlue) return false;
    return true;
}

bool handle_matches(const Palette& palette) {
    PALETTEENTRY shown[256];
    GetPaletteEntries(palette.handle(), 0, static_cast<UINT>(palette.size), shown);
    for (int i = 0; i < palette.size; ++i)
        if (!same_entries(&shown[i], &palette.entry(i), 1)) return false;
    return true;
}

void write_result(const std::string& text) {
    const char* temp = std::getenv("TEMP");
    if (!temp) return;
    const std::string path = std::string(temp) + "\\palette_probe.txt";
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

// Only the foreground window's palette is realised into the system palette, so
// the counting starts once the window is in front (at most two seconds).
void wait_until_foreground(HWND window) {
    SetForegroundWindow(window);
    for (int waited = 0; waited < 200 && GetForegroundWindow() != window; ++waited) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Screen.width = GetSystemMetrics(SM_CXSCREEN);
    Screen.height = GetSystemMetrics(SM_CYSCREEN);
    Screen.palette = std::make_unique<Palette>();
    const Palette& palette = *Screen.palette;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Quorix Palette Probe", WS_POPUP | WS_VISIBLE, 0, 0,
                                  Screen.width, Screen.height, nullptr, nullptr, instance, nullptr);
    wait_until_foreground(window);
    CyclingSaver saver;
    PALETTEENTRY previous[256] = {};
    PALETTEENTRY system[256] = {};
    int screen_changes = 0;
    int logical_matches = 0;
    for (int slice = 0; slice < slices; ++slice) {
        {
            WindowContext context(window);
            context.use_palette(palette);
            GetSystemPaletteEntries(context.hdc, 0, 256, system);
        }
        if (slice > 0 && !same_entries(previous, system, 256)) ++screen_changes;
        std::copy(system, system + 256, previous);
        if (palette.handle() && handle_matches(palette)) ++logical_matches;
        saver.palette_tick();
    }
    DestroyWindow(window);

    char text[256];
    std::snprintf(text, sizeof(text),
                  "size %d animating %d palette_device %d\nslices %d\nlogical matches %d\nscreen changes %d\n",
                  static_cast<int>(palette.size), static_cast<int>(palette.animating),
                  static_cast<int>(palette.palette_device), slices, logical_matches, screen_changes);
    write_result(text);
    return 0;
}

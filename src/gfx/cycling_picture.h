#pragma once
#include <windows.h>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/draw_context.h"
#include "gfx/recolour_math.h"

class Palette;
class RandomGenerator;
struct ScreenRecord;

// An off-screen 8-bit picture as large as the screen whose colour table is the
// palette, shown on a window: effects draw colour indexes into it, and changing
// the table moves the colours, as on an 8-bit palette display. The table keeps
// the 20 reserved system colours at its ends (black at 0, white at 255) and the
// palette's entries between them. Showing it converts only the bands of rows
// where the window shows other slots or colours than the picture holds.
class CyclingPicture : public DrawContext {
public:
    static constexpr int32_t table_size = 256;
    static constexpr int32_t low_reserved = 10;
    static constexpr int32_t palette_room = table_size - 2 * low_reserved;

    // When it is shown is the effect runner's business.
    CyclingPicture(const Palette& palette, HWND window, int32_t width, int32_t height);
    ~CyclingPicture() override;

    // Palette indexes keep their own table slot, even where another entry has
    // the same colour; any other colour takes the nearest slot, reserved first.
    uint32_t device_colour(const Color& colour) override;
    // Something was drawn, or the colours or the window changed, since the
    // last showing.
    bool pending() const;
    // Shows what changed on the window, when anything did.
    void show();
    // The window lost what it showed: the next presentation is whole.
    void uncovered();
    // Copies the whole picture, with the current colours, onto a context.
    void draw_on(HDC target);
    // The colour table with the current colours, for reading the picture's slots.
    const std::array<RGBQUAD, table_size>& colours();
    // Row y of the picture's slots, for reading after GdiFlush; null without a
    // picture or outside it.
    const uint8_t* slots_row(int32_t y) const;

    // The table slot a pixel holds; -1 outside the picture.
    int32_t index_at(int32_t x, int32_t y) const;
    // A slot's colour as matching sees it now.
    RGBQUAD table_entry(int32_t index);

    const int32_t width;
    const int32_t height;
    // Presentations so far, whole or partial.
    int32_t presentations = 0;

private:
    void present();
    // Takes the palette's colours when they changed; true when they did.
    bool sync_table();
    // Gives the DIB the current table when it has an older one.
    void recolour();
    int32_t nearest_slot(uint32_t word);

    const Palette& palette;
    HWND window;
    // The window's context, taken at the first showing and kept: taking one
    // anew costs more than the showing itself (Wine sets a font up in each).
    HDC window_dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous_bitmap = nullptr;
    uint8_t* bits = nullptr;
    int32_t stride = 0;
    // What the window shows: each pixel's slot, and the table it was shown with.
    std::vector<uint8_t> shown_slots;
    std::array<RGBQUAD, table_size> shown_table{};
    std::array<RGBQUAD, table_size> table{};
    uint32_t table_changes = 0;   // the palette's count the table was taken at
    uint32_t dib_changes = 0;     // the one the DIB's own table has
    uint32_t shown_changes = 0;   // and the one the window last showed
    bool drawn = false;
    bool whole_due = true;
    // The last colour matched, which effects often ask for again.
    uint32_t matched_word = 0;
    int32_t matched_slot = -1;
};

// Makes a screen's palette for the display, drawn from the generator, with
// true colour cycling as the option says, and returns the picture the effects
// draw into when cycling applies to this display and window; otherwise null,
// and they draw on the window. Only the program's own picture sets true_color.
std::unique_ptr<CyclingPicture> make_screen_palette(ScreenRecord& screen, RandomGenerator& rand, HWND window,
                                                    bool cycling, bool program_picture);

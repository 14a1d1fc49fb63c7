#pragma once
#include <windows.h>

#include "monitors/cover_layout_math.h"

// The saver window over the whole virtual screen, for the span mode.

// The virtual screen as the system reports it now.
CoverRect current_virtual_screen();
// Moves the window over the screen, one pixel wider and higher, as the
// primary's window is.
void lay_over(HWND window, const CoverRect& screen);

#pragma once
#include <windows.h>

// Takes the window's input context away, so that with a Chinese, Japanese or
// Korean input method on, keys reach the window as characters and follow its
// key rules, instead of opening a composition window over the saver.
void remove_input_context(HWND window);

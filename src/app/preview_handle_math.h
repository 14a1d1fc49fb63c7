#pragma once
#include <cstdint>

// The window handle of a preview request "/p HANDLE": the decimal number after
// the first "/p", past spaces and tabs and at most one colon ("/p:HANDLE").
// 0 when it is missing, is no plain number (a sign, or other characters right
// after the digits) or does not fit the 32 bits a window handle has.
uint32_t preview_handle(const char* command_line);

// The window of a configure request "/c:HANDLE", which the settings dialog is
// modal to: the number after the first "/c:", read as the preview's handle
// (past spaces and tabs, a plain number of 32 bits). 0 when there is no "/c:"
// ("/c" alone included) or no such number.
uint32_t configure_handle(const char* command_line);

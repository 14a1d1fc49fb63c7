#pragma once
#include <cstdint>

// The window handle of a preview request "/p HANDLE": the decimal number after
// the first "/p", past spaces and tabs and at most one colon ("/p:HANDLE").
// 0 when it is missing, is no plain number (a sign, or other characters right
// after the digits) or does not fit the 32 bits a window handle has.
uint32_t preview_handle(const char* command_line);

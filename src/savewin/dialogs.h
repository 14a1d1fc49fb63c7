#pragma once
#include <windows.h>
#include <string>

// The settings dialog "SETUP"; 1 for OK, 0 for Cancel.
INT_PTR show_settings_dialog(HWND owner);
// The options dialog "REG_OPTIONS"; 1 after Save, 0 after Cancel.
INT_PTR show_options_dialog(HWND owner);

// The caption of the message boxes that report input errors in the dialogs.
constexpr const char* input_error_caption = "Morvanta";
// The caption of the message box that reports a setting that could not be saved.
constexpr const char* not_saved_caption = "Quorix ScreenSaver";

// The whole text of a window or control, however long.
std::string window_text(HWND window);
// Appends " Version " and string 2001 (loaded into buffer_size characters) to the
// caption; leaves it as it is when the string does not load.
void add_version_to_caption(HWND dialog, int buffer_size);
// Tells the user, over owner, that what a dialog saves was not saved
// (the sentence) and why, in the system's words for the error code.
void show_not_saved(HWND owner, const char* sentence, unsigned long error);

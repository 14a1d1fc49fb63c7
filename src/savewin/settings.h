#pragma once
#include <string>

// The saver's keys, read and written side by side. They live in section
// "Screen Saver.Quorix" of "control.ini"; where that file cannot be written (a
// standard user on Windows since Vista), in the per-user key of the same name,
// which is also where the installer's ini-file mapping sends the section.
namespace settings {

constexpr const char* file = "control.ini";
constexpr const char* section = "Screen Saver.Quorix";
// Under HKEY_CURRENT_USER.
constexpr const char* user_key = "Control Panel\\Screen Saver.Quorix";

constexpr const char* hide_mouse = "hide mouse";
constexpr const char* ignore_mouse = "ignore mouse";
constexpr const char* stay_on_top = "stay on top";
constexpr const char* true_colour_cycling = "true colour cycling";
// "yes": "/p HANDLE" draws a preview in that window.
constexpr const char* preview = "preview";
// "primary", "span" or "mirror": what the monitors other than the primary show.
constexpr const char* monitors = "monitors";
constexpr const char* password = "password";
constexpr const char* trace = "trace";
constexpr const char* version = "version";

std::string read(const char* key, const char* fallback, unsigned buffer_size = 1024);
// A null value deletes the key. Returns 0, or the system's error code when the
// value could be stored nowhere.
unsigned long write(const char* key, const char* value);
// Only an exact "yes" is on.
bool read_flag(const char* key, unsigned buffer_size = 1024);
unsigned long write_flag(const char* key, bool on);
// Makes Windows write its cached copy of the file; its result does not matter.
void flush();

}  // namespace settings

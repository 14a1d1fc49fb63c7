#pragma once
#include <string>

// What a saver run shows on a desktop of several monitors, free of Win32 so it
// also runs natively.

// primary: the effect on the primary monitor, black covers on the others.
// span: one picture over the whole virtual screen.
// mirror: the primary's picture, scaled, on every other monitor.
enum class MonitorMode { primary, span, mirror };

// The stored text of the "monitors" setting: exactly "span" or "mirror" chooses
// that mode, as only an exact "yes" turns a flag on; anything else is primary.
MonitorMode monitor_mode_from(const std::string& text);
// The text the options dialog writes for a mode.
const char* monitor_mode_text(MonitorMode mode);

#pragma once
#include <windows.h>
#include <vector>
#include "monitors/cover_layout_math.h"

// Black windows over the monitors that the saver window leaves uncovered. They
// belong to the saver window (owned by it, so they go when it is destroyed),
// never take activation or the keyboard, and hand their mouse input to it.
// They are topmost for the whole run, whatever "stay on top" says: a monitor's
// own taskbar is a topmost window, and only the active full-screen window on
// that monitor sends it below. As mirrors, each window takes a whole monitor
// that the saver window does not hold, and something else shows the picture on it.
class MonitorCovers {
public:
    enum class Kind { covers, mirrors };
    MonitorCovers(HWND saver, Kind kind, const std::vector<CoverRect>& monitors);
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Recomputes the covers for the monitors given; covers that would come out
    // the same are kept.
    void layout(const std::vector<CoverRect>& monitors);
    void show();
    // Puts the covers at the top of the topmost band again, after the saver
    // window changed band.
    void raise();
    // Puts the covers right below a topmost dialog over the saver; a dialog
    // in the normal band stays below them, on its own monitor.
    void keep_below(HWND dialog);
    void set_owner(HWND owner);
    size_t count() const { return windows.size(); }
    // The windows and, in the same order, their rectangles on the virtual screen.
    const std::vector<HWND>& window_list() const { return windows; }
    const std::vector<CoverRect>& window_rects() const { return rects; }

    static constexpr const char* class_name = "QuorixMonitorCover";
    static constexpr const char* mirror_class_name = "QuorixMonitorMirror";

private:
    void destroy_all();

    HWND saver;
    Kind kind;
    bool shown = false;
    std::vector<HWND> windows;
    std::vector<CoverRect> rects;       // of the windows, in the same order
};

#pragma once
#include <windows.h>
#include <vector>
#include "savewin/cover_layout_math.h"

// The monitors as the system reports them now, in its order.
std::vector<CoverRect> current_monitors();

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
    explicit MonitorCovers(HWND saver, Kind kind = Kind::covers);
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Recomputes the covers for the current monitors (also after WM_DISPLAYCHANGE);
    // covers that would come out the same are kept.
    void layout();
    void show();
    // Puts the covers at the top of the topmost band again, after the saver
    // window changed band.
    void raise();
    // Puts the covers right below a topmost dialog over the saver; a dialog
    // in the normal band stays below them, on its own monitor.
    void keep_below(HWND dialog);
    // Wine 8 leaves a window that owns popups out of the topmost band: the
    // saver window lets go of its covers while it changes band.
    void set_owner(HWND owner);
    size_t count() const { return windows.size(); }
    // The windows and, in the same order, their rectangles on the virtual screen.
    const std::vector<HWND>& window_list() const { return windows; }
    const std::vector<CoverRect>& window_rects() const { return rects; }

    static constexpr const char* class_name = "QuorixMonitorCover";
    static constexpr const char* mirror_class_name = "QuorixMonitorMirror";
    // Posted to the saver window when the monitors change: not every system
    // sends WM_DISPLAYCHANGE for a monitor that comes or goes (Wine 8 does not).
    static constexpr UINT monitors_changed = WM_APP + 1;

private:
    void destroy_all();
    void start_watching();
    static DWORD WINAPI watch(void* covers);

    HWND saver;
    Kind kind;
    bool shown = false;
    std::vector<HWND> windows;
    std::vector<CoverRect> rects;       // of the windows, in the same order
    std::vector<CoverRect> watched;     // the monitors as the watcher saw them last
    HANDLE stop_watching = nullptr;
    HANDLE watcher = nullptr;
};

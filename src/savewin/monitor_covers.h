#pragma once
#include <windows.h>
#include <vector>

// Black windows over the monitors that the saver window leaves uncovered. They
// belong to the saver window (owned by it, so they go when it is destroyed),
// never take activation or the keyboard, and hand their mouse input to it.
class MonitorCovers {
public:
    explicit MonitorCovers(HWND saver);
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Recomputes the covers for the current monitors (also after WM_DISPLAYCHANGE).
    void layout();
    void show();
    void set_topmost(bool topmost);
    size_t count() const { return windows.size(); }

    static constexpr const char* class_name = "QuorixMonitorCover";

private:
    void destroy_all();

    HWND saver;
    bool shown = false;
    bool topmost = false;
    std::vector<HWND> windows;
};

#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/platform.h"
#include "monitors/cover_layout_math.h"
#include "monitors/monitor_layout_math.h"

class EffectRunner;
class MirrorPresenter;
class MonitorCovers;
class RunnerWindow;
class SeparatePictures;
struct MessageRecord;
struct ScreenRecord;

// The monitors as the system reports them now, in its order; tests give lists
// of their own.
using MonitorSource = std::function<std::vector<CoverRect>()>;

// What a far move of the pointer was, as far as the monitors tell.
enum class PointerMove { users, systems, undecided };

// The monitors of a saver run and what each one shows. It decides the mode
// from the setting, lays the saver window over the primary (or, spanning, over
// every monitor) and a window over each other monitor (a black cover, a mirror
// or a picture of its own), lays them out again when the monitors change, and
// tells the pointer moves that the system makes from the user's.
class Monitors {
public:
    // The mode is the stored text of the "monitors" setting. The saver's runner
    // draws the primary's picture; spanning, its screen takes the size of the
    // virtual screen.
    Monitors(Platform platform, const std::string& stored_mode, EffectRunner& runner, RunnerWindow& saver_window,
             MonitorSource source);
    ~Monitors();
    Monitors(const Monitors&) = delete;
    Monitors& operator=(const Monitors&) = delete;

    MonitorMode mode() const { return chosen; }
    // Spanning, the saver window lies over every monitor and guards them all,
    // so it is topmost whatever "stay on top" says.
    bool guards_every_monitor() const { return chosen == MonitorMode::span; }
    // The virtual screen the saver window is made over when spanning.
    CoverRect span_rect() const { return span_screen; }

    // Once the saver window exists, before anything can wake it: the windows of
    // the other monitors, and the pictures they show, which the runner paces.
    void attach(HWND saver, bool true_colour_cycling);
    // Before the saver window's object goes: the other monitors' windows first.
    void detach();

    // The saver window's messages that concern the monitors; true when the
    // monitors changed, so that the pointer's history starts over.
    bool take_message(const MessageRecord& record);
    // Around the saver window's change of band (topmost or not): the covers
    // stay at the top of the topmost band, guarding the other monitors.
    void before_band_change();
    void after_band_change();

    // A far move of the pointer from `from` to `to` (screen coordinates). One
    // that may be the system's is judged when the settling timer fires on the
    // saver window, or earlier when the monitors change.
    PointerMove judge_far_move(POINT from, POINT to);
    // The saver window's timer fired: true when it was the settling timer and
    // the move it waited on was the user's.
    bool settled_as_users(WPARAM timer_id);

    // Acts on the picture of every monitor but the primary (separate mode).
    void for_each_other_picture(const std::function<void(EffectRunner&, int32_t&)>& act);

    // Tests read what the monitors show.
    const MirrorPresenter* mirror_presenter() const { return mirror.get(); }
    SeparatePictures* separate_pictures() { return separate.get(); }

    // Posted to the saver window by the watcher when the monitors changed.
    static constexpr UINT monitors_changed = WM_APP + 1;
    static constexpr UINT_PTR settling_timer = 0x5157;
    // How long a jump to a monitor's edge waits for the monitors to change
    // before it counts as the user's: on a loaded machine Wine 8 took up to
    // 773 ms to report the change behind such a jump.
    static constexpr UINT settle_ms = 1000;
    // A change taken within this time caused a jump to an edge behind it in
    // the queue.
    static constexpr DWORD recent_ms = 1000;
    // How often the watcher compares the monitors with the ones it saw last.
    static constexpr DWORD watch_period_ms = 500;

private:
    // The monitors changed: every window is laid out anew and the next effect
    // of every picture takes its new size; the settings and password stay.
    void follow_change();
    void lay_saver_window();
    void resize_effects();
    void start_watching();
    void stop_watching();
    static DWORD WINAPI watch(void* monitors);
    void stop_settling();

    const Platform platform;
    EffectRunner& runner;
    RunnerWindow& saver_window;
    const MonitorSource source;
    MonitorMode chosen = MonitorMode::primary;
    HWND saver = nullptr;
    bool cycling = false;
    // Black windows over the other monitors; none on a one-monitor desktop.
    std::unique_ptr<MonitorCovers> covers;
    // Shows the picture on the other monitors in mirror mode; otherwise none.
    std::unique_ptr<MirrorPresenter> mirror;
    // A picture of its own on each other monitor in separate mode; otherwise none.
    std::unique_ptr<SeparatePictures> separate;
    // Spanning, the virtual screen as last laid out.
    CoverRect span_screen{0, 0, 0, 0};
    // The monitors as the windows were last laid out for, and when they last
    // changed (tick count; 0 before any change).
    std::vector<CoverRect> laid_out;
    DWORD changed_at = 0;
    bool settling = false;
    // The watcher's own copy, read and written on its thread only.
    std::vector<CoverRect> watched;
    HANDLE stop_event = nullptr;
    HANDLE watcher = nullptr;
};

// The system's list of monitors.
std::vector<CoverRect> current_monitors();

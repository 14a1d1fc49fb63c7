#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>
#include "framework/window.h"
#include "lib/refstring.h"
#include "savewin/effect_runner.h"
#include "savewin/monitor_covers.h"
#include "savewin/monitor_layout_math.h"
#include "savewin/pointer_motion_math.h"

class MirrorPresenter;
class SeparatePictures;
class Saver;

// The black full-screen window of a saver run: drives the effect from its paint
// handler, decides which input wakes it and offers keys that act on the effect.
class SaverWindow : public FrameWindow, public RunnerWindow {
public:
    SaverWindow();
    ~SaverWindow() override;

    // Waking input: close, or ask for the password when one is set.
    void wake();
    void set_topmost(bool topmost);
    // Re-reads "hide mouse", "ignore mouse", "stay on top" and "password".
    void read_options();
    // True when no message is waiting for this window.
    bool no_msg() const override;
    bool palette_cycling_on() const override { return palette_cycling != 0; }
    bool trace_kept() const override { return keep_trace || state != 0; }
    // The wake-up password dialog over the running saver.
    void ask_password();
    // Ends the current effect and starts the next one.
    void next_saver();
    // The options dialog over the running saver (key "s").
    void show_options();
    // The "-b" search and the first effect, deferred to the first paint when a
    // search was asked for.
    void start_first_effect();

    // Watches the saver's activation: once it was the active program, another
    // program's window taking the foreground counts as waking input.
    LRESULT dispatch(MessageRecord& record) override;
    // Another program took the foreground: wakes as a key would, with the
    // saver back in front first when the password must be asked; while the
    // password dialog asks, it comes back in front.
    void other_program_active();
    int on_activate(int active, int minimized) override;
    int on_key(MessageRecord& record) override;
    int on_mouse(UINT message, LPARAM lparam, WPARAM wparam) override;
    int on_command(int id, int code) override;
    // Shows the covers with the window and lays them out again when monitors
    // change; an erase means the window was covered, so the picture is shown
    // whole. The display's state goes to the runner.
    int on_message(MessageRecord& record) override;
    void paint_with(PaintContext& context) override;

    static constexpr const char* class_name = "WindowsScreenSaverClass";
    static constexpr const char* title = "Quorix ScreenSaver";
    // Posted when another program took the foreground, so that the saver wakes
    // from the message loop and never inside a frame.
    static constexpr UINT foreground_lost = WM_APP + 2;

    // Every window that shows the effects runs them through one of these.
    EffectRunner runner{*this};
    String password;
    String& version = runner.version;
    int32_t state = 0;                      // 0 running, 1 pause at end of effect, 2 paused
    std::unique_ptr<Saver>& current_saver = runner.current_saver;
    uint8_t ignore_mouse = 0;
    uint8_t stay_on_top = 0;
    uint8_t keep_trace = 0;
    uint8_t drawing = 1;
    uint8_t palette_cycling = 1;
    bool first_effect_waits = false;
    // The mirror windows' presenter; null outside mirror mode.
    const MirrorPresenter* mirror_presenter() const { return mirror.get(); }
    // The other monitors' pictures; null outside separate mode.
    SeparatePictures* separate_pictures() { return separate.get(); }
    // Read once at start: what the other monitors show.
    MonitorMode monitor_mode = MonitorMode::primary;

private:
    // Black windows over the other monitors; none on a one-monitor desktop.
    std::unique_ptr<MonitorCovers> covers;
    // Shows the picture on the other monitors in mirror mode; otherwise none.
    std::unique_ptr<MirrorPresenter> mirror;
    // A picture of its own on each other monitor in separate mode; otherwise none.
    std::unique_ptr<SeparatePictures> separate;
    // In span mode, the virtual screen as last laid out; the next effect takes
    // its size.
    CoverRect span_screen{0, 0, 0, 0};
    // The monitors as the windows were last laid out for, and when they last
    // changed (tick count).
    std::vector<CoverRect> laid_out_monitors = current_monitors();
    DWORD monitors_changed_at = 0;
    // Outside span mode, the primary monitor after a display change; empty
    // until one came.
    CoverRect primary_screen{0, 0, 0, 0};
    // The saver was the active program once; the activation changes of its
    // own start come before.
    bool been_active = false;
    // Where the pointer was reported lately, to tell a move from drift.
    PointerMotion pointer_motion;
    // initial_cursor as the last move left it: when it differs, the start or a
    // dialog set it, and the history starts over from there.
    POINT motion_reference{};

    // Spanning, the window lies over every monitor and guards them all, so it
    // is topmost whatever "stay on top" says.
    bool guards_every_monitor() const { return monitor_mode == MonitorMode::span; }
    void monitors_changed();
    // Takes a mouse move to a point on the screen; true when it moved far.
    bool pointer_moved_far(POINT point);
    // True when the system moved the pointer from `from` to `to`: off a
    // monitor that went, or with a change of the monitors.
    bool system_moved_pointer(POINT from, POINT to);
    // The monitors changed: lays the windows out anew and lets the next
    // effect take the new size.
    void follow_display_change();

    void stamp_version();
    void prepare_window_parameters();
    void invalidate();
    void on_key_down(WPARAM key);
    void on_character(char character);
    void faster();
    void slower();
    void for_every_picture(const std::function<void(EffectRunner&, int32_t&)>& act);
    void start_tracing();
    void stop_tracing();
};

extern SaverWindow* swin;

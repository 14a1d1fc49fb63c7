#pragma once
#include <cstdint>
#include <functional>
#include "app/application.h"
#include "framework/window.h"
#include "lib/refstring.h"
#include "monitors/monitors.h"
#include "runner/effect_runner.h"
#include "savewin/pointer_motion_math.h"
#include "savewin/settings.h"

class Saver;

// The black full-screen window of a saver run: drives the effect from its paint
// handler, decides which input wakes it and offers keys that act on the effect.
// Its runner draws the effects; its monitors show what the other monitors show.
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
    // A pointer move that waited for the monitors to settle is judged.
    int on_timer(WPARAM timer_id) override;
    // The display's state goes to the runner, what concerns the monitors to
    // them; an erase means the window was covered, so the picture is shown whole.
    int on_message(MessageRecord& record) override;
    void paint_with(PaintContext& context) override;

    static constexpr const char* class_name = "WindowsScreenSaverClass";
    static constexpr const char* title = "Quorix ScreenSaver";
    // Posted when another program took the foreground, so that the saver wakes
    // from the message loop and never inside a frame.
    static constexpr UINT foreground_lost = WM_APP + 2;

    // Draws the primary's picture; tests and the benchmark reach it.
    EffectRunner runner{*this};
    String password;
    String version;
    int32_t state = 0;                      // 0 running, 1 pause at end of effect, 2 paused
    std::unique_ptr<Saver>& current_saver = runner.current_saver;
    uint8_t ignore_mouse = 0;
    uint8_t stay_on_top = 0;
    uint8_t keep_trace = 0;
    uint8_t drawing = 1;
    uint8_t palette_cycling = 1;
    bool first_effect_waits = false;
    // What the other monitors show; tests and the benchmark reach it.
    Monitors monitors{app.platform, settings::read(settings::monitors, ""), runner, *this, current_monitors};

private:
    // The saver was the active program once; the activation changes of its
    // own start come before.
    bool been_active = false;
    // Where the pointer was reported lately, to tell a move from drift.
    PointerMotion pointer_motion;
    // initial_cursor as the last move left it: when it differs, the start or a
    // dialog set it, and the history starts over from there.
    POINT motion_reference{};

    // Takes a mouse move to a point on the screen; true when it moved far.
    bool pointer_moved_far(POINT point);

    void start_run();
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

#pragma once
#include <windows.h>
#include <memory>
#include "app/platform.h"
#include "framework/window.h"
#include "lib/refstring.h"
#include "runner/effect_runner.h"

// The drawn preview of "/p HANDLE": a child window that fills the client area
// of the settings' preview window and runs the effects there, with the same
// scheduler, palette and cycling as a full-screen run. Nothing of the
// full-screen rules applies: no input wakes it, no key acts, and there is no
// password, cover, topmost state or hidden cursor. It ends when its window or
// the window it sits in is gone.
class PreviewWindow : public FrameWindow, public RunnerWindow {
public:
    // As a child of the parent window, or as a popup kept over its client area.
    PreviewWindow(HWND parent, bool as_child);
    ~PreviewWindow() override;
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // Any message of the thread ends a slice, the watch timer's among them.
    bool no_msg() const override;

    // Input over the preview changes nothing.
    int on_key(MessageRecord& record) override;
    int on_mouse(UINT message, LPARAM lparam, WPARAM wparam) override;
    // An erase means the window was covered, so the picture is shown whole;
    // the display's state goes to the runner.
    int on_message(MessageRecord& record) override;
    // The next effect takes the new size; until then the new area stays black.
    int on_size(RECT* client, WPARAM size_type) override;
    int on_timer(WPARAM timer_id) override;
    void paint_with(PaintContext& context) override;

    // Ends the preview once the window it sits in, or its own, is gone, and
    // follows the parent's client area. The destruction of a parent in another
    // process may come late or not at all.
    void watch();
    // How often watch runs now: seldom while the display is off.
    UINT watch_interval() const { return watch_period; }

    static constexpr const char* class_name = "QuorixPreviewClass";
    // How often watch looks at the windows.
    static constexpr UINT watch_period_ms = 200;
    static constexpr UINT watch_period_off_ms = 500;
    // A picture this small needs far fewer frames than the effect's own pace,
    // each of which costs the same fixed round trips to the server.
    static constexpr int32_t frame_ms = 5;

    const HWND parent;
    // A child of the parent; a popup where the platform shows no drawing of a
    // child of another process's window (Wine).
    const bool as_child;
    // The effect, its picture and the display's state.
    EffectRunner runner{*this, Stage::program(), frame_ms};

private:
    void prepare_window_parameters(const RECT& client);
    void follow_parent();
    void start_watch();

    UINT_PTR watch_timer = 0;
    UINT watch_period = 0;
};

// False where the platform shows no drawing of a child of another process's
// window (Wine): there the preview is a popup.
bool preview_as_child(Platform platform);

// Runs the preview in the window, when the option is on and the handle names a
// window with a client area, until that window is gone; otherwise returns at once.
void run_preview(HWND parent, Platform platform);

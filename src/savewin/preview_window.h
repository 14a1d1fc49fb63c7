#pragma once
#include <windows.h>
#include <memory>
#include "framework/window.h"
#include "lib/refstring.h"
#include "saver/saver_host.h"

class CyclingPicture;
class Saver;

// The drawn preview of "/p HANDLE": a child window that fills the client area
// of the settings' preview window and runs the effects there, with the same
// scheduler, palette and cycling as a full-screen run. Nothing of the
// full-screen rules applies: no input wakes it, no key acts, and there is no
// password, cover, topmost state or hidden cursor. It ends when its window or
// the window it sits in is gone.
class PreviewWindow : public FrameWindow, public SaverHost {
public:
    explicit PreviewWindow(HWND parent);
    ~PreviewWindow() override;
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // Any message of the thread ends a slice, the watch timer's among them.
    bool no_msg() const override;
    HWND message_window() const override { return nullptr; }
    bool palette_cycling_on() const override { return true; }
    bool trace_kept() const override { return false; }
    const char* version_text() const override { return version.text(); }
    // A picture this small needs far fewer frames than the effect's own pace,
    // each of which costs the same fixed round trips to the server.
    int32_t least_frame_ms() const override { return frame_ms; }

    // Input over the preview changes nothing.
    int on_key(MessageRecord& record) override;
    int on_mouse(UINT message, LPARAM lparam, WPARAM wparam) override;
    // An erase means the window was covered, so the picture is shown whole.
    int on_message(MessageRecord& record) override;
    void paint_with(PaintContext& context) override;

    // Ends the preview once the window it sits in, or its own, is gone. The
    // destruction of a parent in another process may come late or not at all.
    void watch();

    static constexpr const char* class_name = "QuorixPreviewClass";
    // How often watch looks at the windows.
    static constexpr UINT watch_period_ms = 200;
    static constexpr int32_t frame_ms = 5;

    const HWND parent;
    // A child of the parent; false where the platform shows no drawing of a
    // child of another process's window (Wine), and a popup stands in.
    const bool as_child;

private:
    void prepare_window_parameters(const RECT& client);
    void follow_parent();
    void invalidate();

    String version;
    std::unique_ptr<Saver> current_saver;
    // Where the effects draw when a true-colour display cycles its colours.
    std::unique_ptr<CyclingPicture> picture;
    UINT_PTR watch_timer = 0;
};

// Runs the preview in the window, when the option is on and the handle names a
// window with a client area, until that window is gone; otherwise returns at once.
void run_preview(HWND parent);

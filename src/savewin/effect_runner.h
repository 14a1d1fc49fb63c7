#pragma once
#include <windows.h>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include "lib/refstring.h"

class CyclingPicture;
class DrawContext;
class FrameListener;
class Saver;
class SaverHost;
struct MessageRecord;

// The power settings that tell of the display: Windows 8 and later of the
// console's display (0 off, 1 on, 2 dimmed), Vista and 7 of the monitors'
// power (0 off, 1 on).
constexpr GUID console_display_state{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID monitor_power_on{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// What every window that runs the effects does alike: the start of a run, the
// current effect and the picture it draws into, one slice of drawing per paint,
// and whether the display is on at all. While it is off nothing is drawn or
// shown and no paint is asked for; the thread just waits for messages.
class EffectRunner {
public:
    explicit EffectRunner(SaverHost& host);
    ~EffectRunner();
    EffectRunner(const EffectRunner&) = delete;
    EffectRunner& operator=(const EffectRunner&) = delete;

    // The developer variable (unless "-x"), the signal handler, the "-r" seed,
    // the trace ("-l", or the stored option where it counts) and the version
    // text; the seed goes into the trace.
    void start_run(bool stored_trace_counts);
    // Once the window exists: the screen's palette, the cycling picture where
    // it applies, and the display's notifications.
    void attach(HWND window, bool true_colour_cycling);
    // Stops the notifications and ends the effect; the picture stays for the
    // window to drop in its own order.
    void detach();
    // Told of every frame and slice besides the picture or the window.
    void set_listener(FrameListener* frame_listener) { listener = frame_listener; }

    // The start of a paint: shows what the last slice drew and tells whether
    // this one may draw. One that must let a message through asks for the next
    // paint; with the display off nothing is shown and the window stays valid.
    bool slice_begins(const std::function<bool()>& message_waits);
    // Starts the next effect when the current one is done; true when it did.
    bool next_when_done();
    void start_next();
    // A slice of the effect on the picture, or else on the window's context;
    // then the next paint is asked for.
    void run(DrawContext& window_context);
    void invalidate() const;
    // The picture, where there is one, takes the screen's size anew.
    void fit_picture();

    // Takes a notification of the display's state; false for any other message.
    bool display_message(MessageRecord& record);
    bool display_off() const { return off; }

    String version;
    std::unique_ptr<Saver> current_saver;
    // Where the effects draw when a true-colour display cycles its colours;
    // otherwise none, and they draw on the window.
    std::unique_ptr<CyclingPicture> picture;

private:
    void display_changed(DWORD state);

    SaverHost& host;
    HWND window = nullptr;
    FrameListener* listener = nullptr;
    HPOWERNOTIFY display_notice = nullptr;
    bool off = false;
    std::clock_t went_off = 0;
};

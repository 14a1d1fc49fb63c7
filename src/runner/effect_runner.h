#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include "runner/frame_schedule_math.h"
#include "runner/pacing_timer.h"
#include "saver/effect_host.h"

class CyclingPicture;
class DrawContext;
class Saver;
struct MessageRecord;

// The power settings that tell of the display: Windows 8 and later of the
// console's display (0 off, 1 on, 2 dimmed), Vista and 7 of the monitors'
// power (0 off, 1 on).
constexpr GUID console_display_state{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID monitor_power_on{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// Pictures on other monitors that a runner's pacing serves beside its own:
// pictures of their own, drawn at its wakes, or copies of its own picture.
class Companions {
public:
    virtual ~Companions() = default;
    // Draws on each the frames that came due and shows them; true while any
    // of them still draws (none is paused for good).
    virtual bool take_turn() { return false; }
    // The runner's picture was just shown on its window. `picture` is where
    // the effects draw now, or null when they draw on the window itself: the
    // runner replaces it at a new size, so it is handed over every time and
    // never kept.
    virtual void follow_showing(CyclingPicture* picture) { (void)picture; }
};

// What the window that owns a runner decides for it.
class RunnerWindow {
public:
    virtual ~RunnerWindow() = default;
    // True when no message waits that must end a slice of drawing.
    virtual bool no_msg() const = 0;
    // The palette-cycling switch that new effects read.
    virtual bool palette_cycling_on() const { return true; }
    // The trace file is kept at effect changes.
    virtual bool trace_kept() const { return false; }

protected:
    // True when no message waits for `window` (for any window of the thread
    // when null). The queue's status comes first: it costs one call, where a
    // look that finds nothing costs several. A message sent from another
    // thread is handled by the look that follows.
    static bool no_message_for(HWND window);
};

// The effects' framework for one picture: the start of a run, the current
// effect and the picture it draws into, and the frame loop. The effect draws;
// between its frames the runner decides whether the next one comes at once or
// whether the picture is shown and the thread sleeps until the display's next
// refresh (see FrameSchedule). While the display is off nothing is drawn or
// shown and no paint is asked for; the thread just waits for messages.
//
// A runner that leads sleeps for the thread and, before each sleep, gives its
// companions (the pictures of other monitors) their turn; a runner that
// follows draws, at its turn, the frames that came due and hands back.
class EffectRunner : public EffectHost {
public:
    // Frames come at least `least_frame_ms` apart, whatever the effect asks.
    EffectRunner(RunnerWindow& window, Stage stage, int32_t least_frame_ms = 0, bool leads = true);
    explicit EffectRunner(RunnerWindow& window) : EffectRunner(window, Stage::program()) {}
    ~EffectRunner() override;
    EffectRunner(const EffectRunner&) = delete;
    EffectRunner& operator=(const EffectRunner&) = delete;

    // Once the window exists: the screen's palette, the cycling picture where
    // it applies, the display's refresh rate and its notifications.
    void attach(HWND window, bool true_colour_cycling);
    // Stops the notifications and drops the effect and the picture, before
    // the window's palette and companions go.
    void detach();
    // Pictures of other monitors, drawn at each wake of this runner's or
    // shown right after its own picture.
    void set_companions(Companions* others) { companions = others; }
    // The companions' windows changed: they show the picture again now.
    void show_companions_again();

    // The start of a paint: whether this one may draw. One that must let a
    // message through asks for the next paint; with the display off nothing
    // is shown and the window stays valid.
    bool slice_begins(const std::function<bool()>& message_waits);
    // Starts the next effect when the current one is done; true when it did.
    bool next_when_done();
    // Ends the current effect and starts the next, at the size last asked for.
    void start_next();
    // The current effect ends at its next look: the next paint starts another.
    void end_effect();
    // Runs this effect in place of the current one, which goes without the end
    // an effect has (tests and the benchmark draw effects of their own).
    void run_effect(std::unique_ptr<Saver> effect);
    // A slice of the effect on the picture, or else on the window's context,
    // until a message waits, the display goes off or the effect is done; then
    // the next paint is asked for.
    void run(DrawContext& window_context);
    // A follower's turn: the frames that came due, then a showing when due;
    // no paint is asked for.
    void run_batch(DrawContext& window_context);
    // While this runner's own effect does not draw (paused), the companions
    // still draw on their own schedule, paced by it.
    void run_companions();
    // Shows what was drawn and not shown yet, for a paint that draws nothing.
    void show_pending();
    void invalidate() const;
    // The next effect takes this size as the screen's, with the picture to match.
    void resize_for_next(int32_t width, int32_t height);

    // Takes a notification of the display's state; false for any other message.
    bool display_message(MessageRecord& record);
    bool display_off() const { return off; }

    bool next_frame(int32_t period_ms) override;
    bool no_msg() const override { return owner.no_msg(); }
    bool palette_cycling_on() const override { return owner.palette_cycling_on(); }
    Stage stage() const override { return picture_stage; }

    // The performance counter in microseconds.
    static int64_t now_us();

    std::unique_ptr<Saver> current_saver;
    // Where the effects draw when a true-colour display cycles its colours;
    // otherwise none, and they draw on the window.
    std::unique_ptr<CyclingPicture> picture;
    // Showings so far, and sleeps between frames; tests read them from other threads.
    std::atomic<int32_t> showings{0};
    std::atomic<int32_t> sleeps{0};

private:
    void display_changed(DWORD state);
    // Looks at the queue when a look is due; true when a message waits.
    bool message_arrived(int64_t now);
    DrawContext& target(DrawContext& window_context);
    bool unshown() const;
    void show();
    // Until the time on the counter, or until a message arrives; false when
    // the time ended it.
    bool sleep_until(int64_t wake);
    void fit_picture();

    RunnerWindow& owner;
    const Stage picture_stage;
    const int32_t least_frame_ms;
    const bool leads;
    Companions* companions = nullptr;
    HWND window = nullptr;
    HPOWERNOTIFY display_notice = nullptr;
    // What the sleeps wait for; a runner that follows has none.
    std::unique_ptr<PacingTimer> sleeps_by;
    FrameSchedule schedule;
    bool slice_started = false;
    int64_t turn_began = 0;
    bool drawn = false;
    bool off = false;
    std::clock_t went_off = 0;
    int32_t next_width = 0;
    int32_t next_height = 0;
};

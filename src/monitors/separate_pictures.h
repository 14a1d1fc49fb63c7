#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>
#include "runner/effect_runner.h"
#include "saver/stage.h"

class MonitorCovers;

// One monitor's picture in the "separate" mode: an effect of its own, on a
// stage of its own (its size, palette, generator, count and trail), drawn in
// the window that the covers keep on that monitor. Its runner follows the
// saver window's: it draws at the lead's wakes and never sleeps itself.
class MonitorPicture : public RunnerWindow {
public:
    // The place in the list of other monitors; the trace names the monitor
    // after it (the primary is monitor 1).
    MonitorPicture(HWND window, int32_t width, int32_t height, int32_t place, RunnerWindow& saver,
                   const EffectRunner& lead, bool true_colour_cycling);
    MonitorPicture(const MonitorPicture&) = delete;
    MonitorPicture& operator=(const MonitorPicture&) = delete;

    // A slice ends when a message waits for the saver window, as the
    // primary's does; while the display is off none begins.
    bool no_msg() const override;
    bool palette_cycling_on() const override { return saver.palette_cycling_on(); }

    // The frames that came due; false once this picture is paused.
    bool take_turn();

    const HWND window;
    const int32_t place;
    OwnStage own;
    EffectRunner runner;
    // As the saver window's state: 0 running, 1 pause when this effect ends, 2 paused.
    int32_t state = 0;

private:
    // A line of its own in the trace, beside the primary's entries.
    void trace_effect() const;

    RunnerWindow& saver;
    const EffectRunner& lead;
};

// The pictures of every monitor but the primary, in the windows of the covers.
// The saver window's runner paces them with its own frames (see Companions).
class SeparatePictures : public Companions {
public:
    SeparatePictures(const MonitorCovers& windows, RunnerWindow& saver, const EffectRunner& lead,
                     bool true_colour_cycling);
    ~SeparatePictures() override;

    bool take_turn() override;
    // After the covers' windows changed: every monitor starts a picture anew.
    void follow_windows();
    // The same key acts on every monitor's picture.
    void for_each(const std::function<void(MonitorPicture&)>& act);
    size_t count() const { return pictures.size(); }
    MonitorPicture& operator[](size_t place) { return *pictures[place]; }

private:
    const MonitorCovers& windows;
    RunnerWindow& saver;
    const EffectRunner& lead;
    const bool cycling;
    std::vector<HWND> laid_out;
    std::vector<std::unique_ptr<MonitorPicture>> pictures;
};

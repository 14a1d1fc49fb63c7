#include "monitors/separate_pictures.h"

#include "app/application.h"
#include "gfx/cycling_picture.h"
#include "gfx/draw_context.h"
#include "monitors/monitor_covers.h"
#include "saver/saver.h"
#include "trace/report.h"

// Each monitor's generator comes from the run's seed and the monitor's place,
// so "-r" reproduces every picture and none takes a draw from the primary's.
MonitorPicture::MonitorPicture(HWND window, int32_t width, int32_t height, int32_t place, RunnerWindow& saver,
                               const EffectRunner& lead, bool true_colour_cycling)
    : window(window),
      place(place),
      own(stage_seed(app.rand.seed(), place)),
      runner(*this, own.stage(), 0, false),
      saver(saver),
      lead(lead) {
    own.screen.width = width;
    own.screen.height = height;
    runner.attach(window, true_colour_cycling);
    runner.start_next();
    trace_effect();
}

void MonitorPicture::trace_effect() const {
    if (tracing && runner.current_saver)
        report("trace", "monitor %d: effect %lu, seed %ld", static_cast<int>(place + 2),
               static_cast<unsigned long>(own.count), static_cast<long>(runner.current_saver->rand.seed()));
}

bool MonitorPicture::no_msg() const { return !lead.display_off() && saver.no_msg(); }

bool MonitorPicture::take_turn() {
    if (state == 2) return false;
    if (runner.next_when_done()) {
        trace_effect();
        if (state == 1) {
            state = 2;
            runner.show_pending();
            return false;
        }
    }
    if (runner.picture) {
        runner.run_batch(*runner.picture);
    } else {
        WindowContext context(window);
        runner.run_batch(context);
    }
    return true;
}

SeparatePictures::SeparatePictures(const MonitorCovers& windows, RunnerWindow& saver, const EffectRunner& lead,
                                   bool true_colour_cycling)
    : windows(windows), saver(saver), lead(lead), cycling(true_colour_cycling) {
    follow_windows();
}

SeparatePictures::~SeparatePictures() = default;

void SeparatePictures::follow_windows() {
    if (windows.window_list() == laid_out && pictures.size() == laid_out.size()) return;
    pictures.clear();
    laid_out = windows.window_list();
    for (size_t place = 0; place < laid_out.size(); ++place) {
        const CoverRect& monitor = windows.window_rects()[place];
        pictures.push_back(std::make_unique<MonitorPicture>(laid_out[place], monitor.right - monitor.left,
                                                            monitor.bottom - monitor.top, static_cast<int32_t>(place),
                                                            saver, lead, cycling));
    }
}

bool SeparatePictures::take_turn() {
    bool drawing = false;
    for (auto& picture : pictures) drawing = picture->take_turn() || drawing;
    return drawing;
}

void SeparatePictures::for_each(const std::function<void(MonitorPicture&)>& act) {
    for (auto& picture : pictures) act(*picture);
}

#include <ctime>
#include <memory>
#include <sstream>

#include <windows.h>

#include "app/application.h"
#include "gfx/screen.h"
#include "lib/date.h"
#include "saver/effect_host.h"
#include "saver/lines_saver.h"
#include "saver/palette.h"
#include "saver/rolling_circles_saver.h"
#include "saver/saver.h"
#include "saver/scheduler.h"
#include "trace/report.h"

uint32_t saver_count = 0;
bool start_value_waited = false;

namespace {

// The generator's raw values lie in [0, largest_raw_value].
constexpr long largest_raw_value = 999999999;

constexpr const char* summary_format = "%s, %s, %s, %lu, %d x %d, %d, %d, %lu";

// One line per finished effect: enough to reproduce it with "-r". Unless the
// trace is to be kept, the file starts afresh with it. wvsprintfA reads %lu as
// unsigned long and %d as int, so every value is passed as exactly that type.
void write_summary(const ScreenRecord& screen, bool trace_kept, const char* version) {
    if (!(trace_kept || app.has_switch("-d"))) delete_trace_file();
    const Palette* palette = screen.palette.get();
    const std::string date = ft_Date::now().text();
    report("trace", summary_format, date.c_str(), version, "32b",
           static_cast<unsigned long>(app.rand.seed()), static_cast<int>(screen.width),
           static_cast<int>(screen.height), static_cast<int>(palette ? palette->size : 0),
           static_cast<int>(palette ? palette->bits_per_pixel : 0),
           static_cast<unsigned long>(saver_count));
    if (developer_mode && palette)
        report("trace", "rgb %d %d %d", static_cast<int>(palette->skew_red),
               static_cast<int>(palette->skew_green), static_cast<int>(palette->skew_blue));
}

}  // namespace

void skip_to_value(const EffectHost& host, long number) {
    if (number < 0 || number > largest_raw_value) return;
    while (host.no_msg() && app.rand.next() != number) {
    }
}

void end_effect(const Stage& stage, std::unique_ptr<Saver>& current_saver, bool trace_kept, const char* version) {
    ++*stage.count;
    if (!current_saver) return;
    if (stage.primary && trace_wanted()) write_summary(*stage.screen, trace_kept, version);
    current_saver.reset();
    if (Palette* palette = stage.screen->palette.get()) {
        palette->build();
        palette->animate();
    }
}

// Only the primary picture traces, and only it takes the "-t" search.
void begin_effect(EffectHost& host, std::unique_ptr<Saver>& current_saver) {
    const Stage stage = host.stage();
    const auto trace = [&stage](int line, const char* label, auto value) {
        if (stage.primary) trace_entry("savewin2", line, label, value);
    };
    if (stage.primary && app.has_switch("-t") && !start_value_waited) {
        skip_to_value(host, app.switch_number("-t"));
        start_value_waited = true;
    } else {
        const int32_t prior_rand = stage.rand->next();
        trace(155, " : prior_rand = ", prior_rand);
    }
    const unsigned long minutes = (static_cast<unsigned long>(std::clock()) - app.start_ticks) / 60000;
    trace(162, " : dur = ", minutes);

    // Three effects in four are lines.
    const int32_t choice = stage.rand->draw(2, 2);
    trace(167, " : svr = ", choice + 1);
    if (choice == 0)
        current_saver = std::make_unique<LinesSaver>(&host);
    else
        current_saver = std::make_unique<RollingCirclesSaver>(&host);

    if (stage.primary && trace_wanted()) {
        std::ostringstream text;
        text << (host.no_msg() ? 1 : 0) << "\r\n" << *current_saver;
        trace_entry("savewin2", 183, " : swin->no_msg() << \"\\r\\n\" << *current_saver = ", text.str());
    }
}

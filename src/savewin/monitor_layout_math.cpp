#include "savewin/monitor_layout_math.h"

MonitorMode monitor_mode_from(const std::string& text) {
    if (text == "span") return MonitorMode::span;
    if (text == "mirror") return MonitorMode::mirror;
    return MonitorMode::primary;
}

const char* monitor_mode_text(MonitorMode mode) {
    switch (mode) {
    case MonitorMode::span:
        return "span";
    case MonitorMode::mirror:
        return "mirror";
    case MonitorMode::primary:
        break;
    }
    return "primary";
}

#include "trace/signal_handler.h"

#include <windows.h>
#include <csignal>
#include <cstdlib>
#include "app/application.h"
#include "framework/window.h"
#include "trace/report.h"

namespace {

// Returning from a fault handler would run the faulting instruction again, so the
// handler ends the process itself. Exiting skips the saver window's destructor,
// which keeps the trace file.
void on_fault(int) {
    if (cursor_hidden) Window::show_cursor(true);
    MessageBeep(0);
    if (tracing) report("trace", "Error caught by signal");
    app.set_saver_running(false);
    std::_Exit(signal_exit_code);
}

}  // namespace

void install_signal_handler() {
    std::signal(SIGFPE, on_fault);
    std::signal(SIGSEGV, on_fault);
}

void choose_developer_mode() {
    developer_mode = std::getenv("PO") != nullptr && !app.has_switch("-x");
    if (!developer_mode) install_signal_handler();
}

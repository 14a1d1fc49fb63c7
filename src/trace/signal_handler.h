#pragma once

// Outside developer mode a floating-point or memory fault ends the run: the
// cursor comes back, the trace file is kept with a last line, and the process
// exits with signal_exit_code.
void install_signal_handler();

constexpr int signal_exit_code = 3;

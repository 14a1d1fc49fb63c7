#pragma once

// Outside developer mode a floating-point or memory fault ends the run: the
// cursor comes back, the trace file is kept with a last line, and the process
// exits with signal_exit_code.
void install_signal_handler();

constexpr int signal_exit_code = 3;

// At the start of a run that draws: developer mode is on when the variable
// "PO" is set and the command line has no "-x"; outside it, the handler above.
void choose_developer_mode();

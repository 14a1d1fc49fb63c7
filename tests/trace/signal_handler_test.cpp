#include <gtest/gtest.h>

#include "app/application.h"
#include "trace/report.h"
#include "trace/signal_handler.h"
#include "trace/temp_folder.h"

namespace {

void write_through_null() {
    volatile int* volatile nowhere = nullptr;   // both volatile, or the optimiser drops the write
    *nowhere = 1;
}

void divide_by_zero() {
    volatile int zero = 0;
    volatile int result = 1000 / zero;   // 1 / x would be folded without a division
    static_cast<void>(result);
}

void fault_while_tracing(void (*fault)()) {
    tracing = true;
    install_signal_handler();
    fault();
}

// The handler ends the process with its own code and a last trace line, instead
// of returning into the faulting instruction.
TEST(SignalHandlerDeathTest, AFaultEndsTheRunWithATraceLine) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    TempFolder temp("", "quorix-signal-test");
    EXPECT_EXIT(fault_while_tracing(write_through_null), testing::ExitedWithCode(signal_exit_code), "");
    EXPECT_EQ("Error caught by signal\r\n", temp.read("trace.txt"));
    DeleteFileA(temp.file("trace.txt").c_str());
    EXPECT_EXIT(fault_while_tracing(divide_by_zero), testing::ExitedWithCode(signal_exit_code), "");
    EXPECT_EQ("Error caught by signal\r\n", temp.read("trace.txt"));
}

}  // namespace

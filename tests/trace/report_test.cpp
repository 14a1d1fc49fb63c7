#include <gtest/gtest.h>

#include <windows.h>
#include <atomic>
#include <string>
#include <thread>
#include "app/application.h"
#include "trace/report.h"
#include "trace/temp_folder.h"

namespace {

TEST(TraceFile, EachReportAppendsOneCompleteLine) {
    TempFolder temp;
    EXPECT_EQ(0, report("trace", "seed %d", 42));
    EXPECT_EQ("seed 42\r\n", temp.read("trace.txt"));
    report("trace", "%s, %lu", "next", 7ul);
    EXPECT_EQ("seed 42\r\nnext, 7\r\n", temp.read("trace.txt"));
}

TEST(TraceFile, TextGivenAsAnArgumentIsNeverAFormat) {
    TempFolder temp;
    report("trace", "%s", "50% %d %s %n");
    EXPECT_EQ("50% %d %s %n\r\n", temp.read("trace.txt"));
}

TEST(TraceFile, ALongTextIsCutAtTheFormattingLimit) {
    TempFolder temp;
    const std::string longer(3000, 'x');
    report("trace", "%s", longer.c_str());
    const std::string written = temp.read("trace.txt");
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ("\r\n", written.substr(written.size() - 2));
    EXPECT_GE(written.size() - 2, 1000u);
    EXPECT_LE(written.size() - 2, 1024u);
    EXPECT_EQ(std::string::npos, written.find_first_not_of("x\r\n"));
}

TEST(TracePath, ARealisticLongTempFolderIsTraced) {
    TempFolder temp("\\Users\\Alexandra Konstantinopoulou-Whitfield\\AppData\\Local\\Temp");
    ASSERT_GT(temp.path.size(), 43u);
    EXPECT_EQ(temp.file("trace.txt"), trace_file_path());
    report("trace", "deep");
    EXPECT_EQ("deep\r\n", temp.read("trace.txt"));
}

TEST(TracePath, ATempTooLongForAWindowsPathSkipsTheTrace) {
    TempFolder temp;
    const std::string too_long = temp.path + "\\" + std::string(MAX_PATH, 'a');
    TempFolder::set_temp(too_long);
    EXPECT_EQ("", trace_file_path());
    EXPECT_EQ("", trace_copy_path(0));
    const bool root_had_trace = GetFileAttributesA("\\trace.txt") != INVALID_FILE_ATTRIBUTES;
    report("trace", "nowhere");
    start_trace_file();
    delete_trace_file();
    EXPECT_EQ(root_had_trace, GetFileAttributesA("\\trace.txt") != INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(temp.has("trace.txt"));
}

TEST(TracePath, WithoutTempTheFileIsInTheRootOfTheDrive) {
    TempFolder temp;
    _putenv("TEMP=");
    EXPECT_EQ("\\trace.txt", trace_file_path());
    EXPECT_EQ("\\tr12.txt", trace_copy_path(12));
}

TEST(TraceEntry, IsWrittenOnlyWhileTracing) {
    TempFolder temp;
    tracing = false;
    trace_entry("savewin", 431, " : app.rand.seed() = ", 5);
    EXPECT_FALSE(temp.has("trace.txt"));
    tracing = true;
    trace_entry("savewin", 431, " : app.rand.seed() = ", 5);
    tracing = false;
    EXPECT_EQ("savewin line 431 : app.rand.seed() = 5\r\n", temp.read("trace.txt"));
    delete_trace_file();
    delete_trace_file();   // a missing file is no error
}

TEST(Report, AnyOtherCategoryShowsAMessageBoxCaptionedWithIt) {
    const char* caption = "Quorix report test";
    std::atomic<bool> seen{false};
    std::string text;
    std::thread closer([&] {
        for (int tries = 0; tries < 500 && !seen; ++tries) {
            if (HWND box = FindWindowA(nullptr, caption)) {
                char buffer[256] = {};
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                text = buffer;
                seen = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(10);
        }
    });
    tracing = false;
    EXPECT_EQ(0, report(caption, "value %d", 42));
    closer.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ("value 42", text);
}

}  // namespace

#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include "app/platform.h"
#include "saver/random.h"

class FrameWindow;
class SaverWindow;

// The one application object: what WinMain was given, the program-wide generator
// and the main window.
class Application {
public:
    Application();
    virtual ~Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Icon from the module; a null name means "APP_ICON".
    virtual HICON load_icon(const char* name);
    virtual HICON load_icon_id(WORD id);

    // Runs the one mode the command line selects.
    void execute();
    void message_loop();
    // Runs a constructed saver window to its end and deletes it; a missing
    // window or one without a handle ends the run with failure_exit_code.
    void run_saver(std::unique_ptr<SaverWindow> window);
    // Tells Windows whether a password-protected saver runs; the end is told only
    // when the start was.
    void set_saver_running(bool running);

    // Case-sensitive substring search anywhere in the command line.
    bool has_switch(const char* name) const;
    // The number right after the switch's characters, read like atol but clamped
    // to the range of long.
    long switch_number(const char* name) const;
    // With "-r" on the command line, the generator starts again from the
    // number after it, so that a run can be reproduced.
    void reseed_from_command_line();
    // "/s", "-s", "/S" or "-S" anywhere in the command line.
    bool saver_requested() const;
    // The program's version text from its resources; empty without one.
    std::string version_text() const;

    HINSTANCE instance = nullptr;
    const char* command_line = "";
    RandomGenerator rand;
    std::unique_ptr<FrameWindow> main_window;
    HINSTANCE previous_instance = nullptr;
    int32_t show_command = SW_SHOWNORMAL;
    HACCEL accelerators = nullptr;
    uint32_t exit_code = 0;
    uint32_t start_ticks = 0;
    // Windows was told that a password-protected saver runs.
    bool saver_running_told = false;
    // Wine or Windows, told apart once at start.
    Platform platform = this_platform();

    // The saver window could not be made.
    static constexpr uint32_t failure_exit_code = 1;
};

extern Application app;
extern POINT initial_cursor;
extern bool developer_mode;
extern bool tracing;
extern bool cursor_hidden;
extern bool dialog_open;

#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include "saver/random.h"

class FrameWindow;

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

    // Case-sensitive substring search anywhere in the command line.
    bool has_switch(const char* name) const;
    // The number right after the switch's two characters, read like atol.
    long switch_number(const char* name) const;

    HINSTANCE instance = nullptr;
    const char* command_line = "";
    RandomGenerator rand;
    std::unique_ptr<FrameWindow> main_window;
    HINSTANCE previous_instance = nullptr;
    int32_t show_command = SW_SHOWNORMAL;
    HACCEL accelerators = nullptr;
    uint32_t exit_code = 0;
    uint32_t start_ticks = 0;
};

extern Application app;
extern POINT initial_cursor;
extern bool developer_mode;
extern bool tracing;
extern bool cursor_hidden;
extern bool dialog_open;

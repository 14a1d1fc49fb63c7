#include "app/application.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include "app/preview_handle_math.h"
#include "gfx/screen.h"
#include "res/resource.h"
#include "savewin/dialogs.h"
#include "savewin/password.h"
#include "savewin/preview_window.h"
#include "savewin/saver_window.h"

Application app;
POINT initial_cursor{};
bool developer_mode = false;
bool tracing = false;
bool cursor_hidden = false;
bool dialog_open = false;

namespace {

// The resources' strings are read into buffers of this size.
constexpr int version_buffer_size = 2048;

// The window the settings dialog is modal to: the one of "/c:HANDLE" when that
// is a window (the Screen Saver Settings give theirs), else the active window,
// which a process that has just started does not have.
HWND settings_owner(const char* command_line) {
    HWND given = reinterpret_cast<HWND>(static_cast<uintptr_t>(configure_handle(command_line)));
    return given && IsWindow(given) ? given : GetActiveWindow();
}

}  // namespace

Application::Application() {
    start_ticks = static_cast<uint32_t>(std::clock() * (1000.0 / CLOCKS_PER_SEC));
    GetCursorPos(&initial_cursor);
    Screen.width = GetSystemMetrics(SM_CXSCREEN);
    Screen.height = GetSystemMetrics(SM_CYSCREEN);
}

HICON Application::load_icon(const char* name) {
    return LoadIconA(instance, name ? name : "APP_ICON");
}

HICON Application::load_icon_id(WORD id) {
    return LoadIconA(instance, MAKEINTRESOURCEA(id));
}

bool Application::has_switch(const char* name) const {
    return command_line && std::strstr(command_line, name) != nullptr;
}

long Application::switch_number(const char* name) const {
    const char* found = command_line ? std::strstr(command_line, name) : nullptr;
    if (!found) return 0;
    // strtol reads like atol but saturates instead of overflowing.
    return std::strtol(found + std::strlen(name), nullptr, 10);
}

void Application::reseed_from_command_line() {
    if (has_switch("-r")) rand.reseed(static_cast<int32_t>(switch_number("-r")));
}

bool Application::saver_requested() const {
    return has_switch("/s") || has_switch("-s") || has_switch("/S") || has_switch("-S");
}

std::string Application::version_text() const {
    char text[version_buffer_size] = {};
    LoadStringA(instance, IDS_VERSION, text, version_buffer_size);
    return text;
}

void Application::execute() {
    if (previous_instance) return;
    if (FindWindowA(SaverWindow::class_name, nullptr)) return;
    if (has_switch("/p")) {
        // Without the option, or with no window to draw in, it ends at once.
        run_preview(reinterpret_cast<HWND>(static_cast<uintptr_t>(preview_handle(command_line))), platform);
        return;
    }
    if (has_switch("/a")) {
        show_change_password_dialog(GetActiveWindow());
        return;
    }
    if (!saver_requested()) {
        show_settings_dialog(settings_owner(command_line));
        return;
    }
    run_saver(std::unique_ptr<SaverWindow>(new (std::nothrow) SaverWindow));
}

void Application::run_saver(std::unique_ptr<SaverWindow> window) {
    // Without a window there is nothing to pump for: the loop would wait forever.
    if (!window || !window->hwnd) {
        exit_code = failure_exit_code;
        return;
    }
    SaverWindow& saver = *window;
    main_window = std::move(window);
    saver.set_topmost(saver.stay_on_top);
    if (!saver.password.empty()) set_saver_running(true);
    message_loop();
    set_saver_running(false);
    main_window.reset();
}

void Application::set_saver_running(bool running) {
    if (running == saver_running_told) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
    saver_running_told = running;
}

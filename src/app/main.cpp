#include "app/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command) {
    app.instance = instance;
    app.previous_instance = previous_instance;
    app.command_line = command_line;
    app.show_command = show_command;
    app.execute();
    return static_cast<int>(app.exit_code);
}

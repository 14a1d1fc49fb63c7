// placeholder: replaced by the owner of app/
#include "app/application.h"
#include "framework/window.h"
Application app;
POINT initial_cursor{};
bool developer_mode = false;
bool tracing = false;
bool cursor_hidden = false;
bool dialog_open = false;
Application::Application() {}
HICON Application::load_icon(const char*) { return nullptr; }
HICON Application::load_icon_id(WORD) { return nullptr; }
void Application::execute() {}
void Application::message_loop() {}
bool Application::has_switch(const char*) const { return false; }
long Application::switch_number(const char*) const { return 0; }

// placeholder: replaced by the owner of framework/
#include "framework/window.h"
CreationParameters creation_parameters{};
Window::Window(const char*) {}
void Window::destroy() {}
LRESULT Window::dispatch(MessageRecord&) { return 0; }
int Window::on_activate(int, int) { return 0; }
int Window::on_close() { return 0; }
int Window::on_enable(int) { return 0; }
int Window::on_set_focus(Window*) { return 0; }
int Window::on_key(MessageRecord&) { return 0; }
int Window::on_kill_focus(Window*) { return 0; }
int Window::on_init_menu(HMENU*) { return 0; }
int Window::on_menu_select(int, int) { return 0; }
int Window::on_mouse(UINT, LPARAM, WPARAM) { return 0; }
int Window::on_move(unsigned, unsigned) { return 0; }
int Window::on_paint() { return 0; }
int Window::can_close() { return 1; }
int Window::on_size(RECT*, WPARAM) { return 0; }
int Window::on_timer(WPARAM) { return 0; }
int Window::on_message(MessageRecord&) { return 0; }
int Window::on_command(int, int) { return 0; }
bool Window::create(const char*) { return false; }
void Window::show_cursor(bool) {}
bool Window::moved_far(POINT) { return false; }
Window* Window::from_handle(HWND) { return nullptr; }
FrameWindow::FrameWindow(const char* c) : Window(c) {}
int FrameWindow::on_close() { return 1; }
int FrameWindow::on_paint() { return 1; }
int FrameWindow::on_command(int, int) { return 0; }
int FrameWindow::idle() { return 0; }
void FrameWindow::paint_with(PaintContext&) {}

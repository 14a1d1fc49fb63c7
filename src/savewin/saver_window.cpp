// placeholder: replaced by the owner of savewin/
#include "savewin/saver_window.h"
#include "saver/saver.h"
SaverWindow* swin = nullptr;
SaverWindow::SaverWindow() : FrameWindow("WindowsScreenSaverClass") {}
SaverWindow::~SaverWindow() {}
void SaverWindow::wake() {}
void SaverWindow::set_topmost(bool) {}
void SaverWindow::read_options() {}
bool SaverWindow::no_msg() const { return true; }
void SaverWindow::show_options() {}
int SaverWindow::on_activate(int, int) { return 0; }
int SaverWindow::on_key(MessageRecord&) { return 1; }
int SaverWindow::on_mouse(UINT, LPARAM, WPARAM) { return 1; }
int SaverWindow::on_command(int, int) { return 0; }
void SaverWindow::paint_with(PaintContext&) {}

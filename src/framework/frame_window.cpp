#include "framework/window.h"

#include "app/application.h"
#include "gfx/draw_context.h"

FrameWindow::FrameWindow(const char* class_name) : Window(class_name) {
    CreationParameters& p = creation_parameters;
    p.style = WS_OVERLAPPEDWINDOW;
    p.window_class.lpszMenuName = "APP_MENU";
    p.window_class.hIcon = app.load_icon(nullptr);
    if (!p.window_class.hIcon) p.window_class.hIcon = app.load_icon_id(32512);
}

int FrameWindow::on_close() {
    if (can_close()) destroy();
    return 1;
}

// BeginPaint and EndPaint live in the context; the drawing lives in paint_with.
int FrameWindow::on_paint() {
    PaintContext context(*this);
    paint_with(context);
    return 1;
}

int FrameWindow::on_command(int id, int code) {
    if (id != close_command) return Window::on_command(id, code);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    return 1;
}

int FrameWindow::idle() { return 0; }

void FrameWindow::paint_with(PaintContext&) {}

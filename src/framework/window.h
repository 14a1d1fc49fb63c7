#pragma once
#include <windows.h>
#include <cstdint>

class PaintContext;
class Window;

// One message on its way to a handler; handlers may set the result.
struct MessageRecord {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    LRESULT result;
};

// Filled by every window construction and read by create.
struct CreationParameters {
    WNDCLASSA window_class;
    const char* title;
    DWORD style;
    DWORD ex_style;
    int32_t left, top, right, bottom;   // inclusive
    Window* parent;
    HMENU menu;
    void* parameter;
    // A parent that is no framework window (one of another process); used
    // when parent is null.
    HWND parent_handle;
};
extern CreationParameters creation_parameters;

// A window object: every message of its window goes to a virtual handler; what a
// handler does not handle (returns 0) goes on to the previous window procedure.
class Window {
public:
    explicit Window(const char* class_name = nullptr);
    // Leaves the window alive but detaches it, so no message reaches a dead object.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void destroy();
    virtual LRESULT dispatch(MessageRecord& record);
    virtual int on_activate(int active, int minimized);
    virtual int on_close();
    virtual int on_enable(int enabled);
    virtual int on_set_focus(Window* previous);
    virtual int on_key(MessageRecord& record);
    virtual int on_kill_focus(Window* next);
    virtual int on_init_menu(HMENU* menu);
    virtual int on_menu_select(int item, int flags);
    virtual int on_mouse(UINT message, LPARAM lparam, WPARAM wparam);
    virtual int on_move(unsigned x, unsigned y);
    virtual int on_paint();
    virtual int can_close();
    virtual int on_size(RECT* client, WPARAM size_type);
    virtual int on_timer(WPARAM timer_id);
    virtual int on_message(MessageRecord& record);
    virtual int on_command(int id, int code);

    // Registers the class when needed, creates the window and subclasses it.
    bool create(const char* title = nullptr);

    static void show_cursor(bool show);
    // True when the cursor is more than 19 pixels from the point on either axis.
    static bool moved_far(POINT point);
    // The object behind a window handle, null for a null handle or a foreign window.
    static Window* from_handle(HWND hwnd);

    HWND hwnd = nullptr;
    WNDPROC previous_procedure = nullptr;

    // Framework windows keep their object pointer in extra word 0.
    static constexpr int extra_bytes = sizeof(LONG_PTR);
    static constexpr const char* default_class_name = "TKV_MAIN_WIN";

private:
    // Sends the message to its handler; false when it goes on to the previous procedure.
    bool route(MessageRecord& record);
    bool route_input(MessageRecord& record);
};

// True when two points are more than 19 pixels apart on either axis.
bool points_far_apart(POINT from, POINT to);

// A top-level frame: closes through can_close, paints through a PaintContext and
// offers an idle hook to the message loop.
class FrameWindow : public Window {
public:
    explicit FrameWindow(const char* class_name = nullptr);
    int on_close() override;
    int on_paint() override;
    int on_command(int id, int code) override;
    // Called when the queue is empty; true keeps the message loop polling.
    virtual int idle();
    virtual void paint_with(PaintContext& context);

    // The command that closes a frame.
    static constexpr int close_command = 256;
};

#pragma once
// Drives the modal dialogs and message boxes of the test thread: a timer on a
// hidden window fires inside their message loops, and each step waits for a
// visible top-level window with its title, then acts on it.
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <gtest/gtest.h>
#include "app/application.h"
#include "savewin/settings.h"
#include "support/window_text.h"

class DialogDriver {
public:
    using Action = std::function<void(HWND)>;

    DialogDriver() {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = &DialogDriver::procedure;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = class_name;
        RegisterClassA(&window_class);
        window_ = CreateWindowExA(0, class_name, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  window_class.hInstance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(window_, 1, tick_ms, nullptr);
    }
    ~DialogDriver() {
        KillTimer(window_, 1);
        DestroyWindow(window_);
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Adds a step: when a window titled `title` shows (holding a control with the
    // id `control`, when one is given), `action` runs on it.
    DialogDriver& on(const std::string& title, Action action, int control = 0) {
        steps_.push_back({title, control, std::move(action)});
        return *this;
    }

    // True when every step ran and nothing had to be cancelled.
    bool finished() const { return steps_.empty() && !timed_out_; }

private:
    struct Step {
        std::string title;
        int control;
        Action action;
    };
    static constexpr const char* class_name = "QuorixDialogDriver";
    static constexpr UINT tick_ms = 40;
    static constexpr int patience_ticks = 150;

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_TIMER) {
            auto* driver = reinterpret_cast<DialogDriver*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (driver) driver->tick();
            return 0;
        }
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }

    void tick() {
        if (steps_.empty()) {
            if (++idle_ticks_ > patience_ticks) cancel_all();
            return;
        }
        HWND target = find(steps_.front());
        if (!target) {
            if (++idle_ticks_ > patience_ticks) cancel_all();
            return;
        }
        idle_ticks_ = 0;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step.action(target);
    }

    static HWND find(const Step& step) {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "#32770", step.title.c_str()))) {
            if (IsWindowVisible(window) && (step.control == 0 || GetDlgItem(window, step.control)))
                return window;
        }
        return nullptr;
    }

    // A step that never came: close whatever this thread still shows, so the
    // test fails instead of hanging.
    void cancel_all() {
        timed_out_ = true;
        idle_ticks_ = 0;
        EnumThreadWindows(GetCurrentThreadId(), &DialogDriver::cancel_one, 0);
    }
    static BOOL CALLBACK cancel_one(HWND hwnd, LPARAM) {
        char name[16] = "";
        GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name) == "#32770") PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    HWND window_ = nullptr;
    std::deque<Step> steps_;
    int idle_ticks_ = 0;
    bool timed_out_ = false;
};

// Clicks a button or check box the way a user would. Posted, so that a message
// box the click opens runs in the dialog's loop and the next step can answer it.
inline void click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

inline void set_text(HWND dialog, int id, const char* text) {
    SetDlgItemTextA(dialog, id, text);
}

inline bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

inline bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// The id of the control that has the keyboard focus in the dialog's thread.
inline int focused_id(HWND dialog) {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
}

// Dialog tests take the templates and strings from the built saver (loaded as
// data), start with none of the saver's options or password stored, and leave
// none behind.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH] = "";
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path, length);
        folder.erase(folder.find_last_of("\\/") + 1);
        resources_ = LoadLibraryExA((folder + "quorix.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(resources_, nullptr) << "quorix.scr must be built beside the test";
        saved_instance_ = app.instance;
        app.instance = resources_;
        clear_settings();
    }
    void TearDown() override {
        clear_settings();
        app.instance = saved_instance_;
        if (resources_) FreeLibrary(resources_);
    }
    static void clear_settings() {
        for (const char* key : {settings::hide_mouse, settings::ignore_mouse, settings::stay_on_top,
                                settings::true_colour_cycling, settings::preview, settings::monitors,
                                settings::password}) {
            settings::write(key, nullptr);
        }
    }

    HMODULE resources_ = nullptr;
    HINSTANCE saved_instance_ = nullptr;
};

// The title the settings, options and wake-up dialogs show.
constexpr const char* versioned_title = "Quorix ScreenSaver Version 1.0.4.1";
constexpr const char* plain_title = "Quorix ScreenSaver";
constexpr const char* error_title = "Morvanta";

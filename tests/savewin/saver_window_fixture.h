#pragma once
// Tests of the saver window build it in their own process, with no settings
// stored and TEMP in a fresh folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include "app/application.h"
#include "savewin/saver_window.h"
#include "savewin/settings_backup.h"
#include "trace/temp_folder.h"

class SaverWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        app.command_line = "/s";
        tracing = false;
        developer_mode = false;
        dialog_open = false;
    }
    void TearDown() override {
        close();
        tracing = false;
        dialog_open = false;
        app.command_line = "";
    }
    SaverWindow& open(const char* command_line = "/s") {
        close();
        app.command_line = command_line;
        window = std::make_unique<SaverWindow>();
        return *window;
    }
    void close() {
        if (window && IsWindow(window->hwnd)) DestroyWindow(window->hwnd);
        window.reset();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    bool alive() const { return IsWindow(window->hwnd) != FALSE; }
    void send(UINT message, WPARAM wparam = 0) { SendMessageA(window->hwnd, message, wparam, 0); }
    void type(char character) { send(WM_CHAR, static_cast<unsigned char>(character)); }

    SettingsBackup backup;
    TempFolder temp;
    std::unique_ptr<SaverWindow> window;
};

// While it lives, the built saver (loaded as data) gives the dialogs their
// templates and strings: it is app.instance.
class SaverResources {
public:
    SaverResources() {
        char path[MAX_PATH] = "";
        std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
        folder.erase(folder.find_last_of("\\/") + 1);
        module = LoadLibraryExA((folder + "quorix.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module) app.instance = module;
    }
    ~SaverResources() {
        if (!module) return;
        app.instance = GetModuleHandleA(nullptr);
        FreeLibrary(module);
    }
    SaverResources(const SaverResources&) = delete;
    SaverResources& operator=(const SaverResources&) = delete;
    bool loaded() const { return module != nullptr; }

private:
    HMODULE module = nullptr;
};

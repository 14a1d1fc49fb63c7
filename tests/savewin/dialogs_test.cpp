#include <string>
#include <gtest/gtest.h>
#include "res/resource.h"
#include "savewin/dialog_driver.h"
#include "savewin/dialogs.h"
#include "savewin/password.h"
#include "savewin/settings.h"

namespace {

std::string value_of(const char* key) {
    return settings::read(key, "(absent)", 256);
}

class SettingsDialog : public DialogTest {};

TEST_F(SettingsDialog, OkAndCancelGiveTheirResults) {
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) { click(dialog, IDOK); }, IDC_OPTIONS);
    EXPECT_EQ(1, show_settings_dialog(nullptr));
    driver.on(versioned_title, [](HWND dialog) { click(dialog, IDCANCEL); }, IDC_OPTIONS);
    EXPECT_EQ(0, show_settings_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
}

class OptionsDialog : public DialogTest {};

TEST_F(OptionsDialog, SaveWithoutChangesWritesNoForEveryAbsentKey) {
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        for (int id : {IDC_HIDE_MOUSE, IDC_IGNORE_MOUSE, IDC_STAY_ON_TOP}) EXPECT_FALSE(checked(dialog, id)) << id;
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    for (const char* key : {settings::hide_mouse, settings::ignore_mouse, settings::stay_on_top})
        EXPECT_EQ("no", value_of(key)) << key;
}

TEST_F(OptionsDialog, CancelWritesNothing) {
    settings::write(settings::stay_on_top, "yes");
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_STAY_ON_TOP));
        click(dialog, IDC_STAY_ON_TOP);
        click(dialog, IDC_HIDE_MOUSE);
        click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ("(absent)", value_of(settings::hide_mouse));
    EXPECT_EQ("yes", value_of(settings::stay_on_top));
}

class VersionCaption : public DialogTest {};

TEST_F(VersionCaption, AddedOnlyWhenTheStringLoads) {
    // With the templates but without string 2001, the template caption stays.
    HWND probe = CreateWindowExA(0, "STATIC", "Quorix ScreenSaver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    HINSTANCE resources = app.instance;
    app.instance = GetModuleHandleA(nullptr);
    add_version_to_caption(probe, 256);
    app.instance = resources;
    EXPECT_EQ("Quorix ScreenSaver", window_text(probe));
    add_version_to_caption(probe, 256);
    EXPECT_EQ("Quorix ScreenSaver Version 1.0.4.1", window_text(probe));
    DestroyWindow(probe);
}

TEST(WindowText, ReadsTextsOfAnyLength) {
    const std::string long_text(5000, 'w');
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ("", window_text(edit));
    SetWindowTextA(edit, long_text.c_str());
    EXPECT_EQ(long_text, window_text(edit));
    DestroyWindow(edit);
}

}  // namespace

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

constexpr int option_box_ids[] = {IDC_HIDE_MOUSE, IDC_IGNORE_MOUSE, IDC_STAY_ON_TOP, IDC_TRUE_COLOUR_CYCLING,
                                  IDC_PREVIEW};
constexpr const char* option_keys[] = {settings::hide_mouse, settings::ignore_mouse, settings::stay_on_top,
                                       settings::true_colour_cycling, settings::preview};

int selected_item(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_MONITORS, CB_GETCURSEL, 0, 0));
}

std::string item_text(HWND dialog, int item) {
    char text[64] = "";
    if (SendDlgItemMessageA(dialog, IDC_MONITORS, CB_GETLBTEXTLEN, item, 0) >= static_cast<LRESULT>(sizeof text))
        return "(too long)";
    SendDlgItemMessageA(dialog, IDC_MONITORS, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
}

// Shows the options dialog over a stored "monitors" value (or none), notes the
// list's selection, picks `choose` (unless -1) and saves; returns what was shown.
int show_and_pick_monitors(const char* stored, int choose) {
    settings::write(settings::monitors, stored);
    int shown = -2;
    DialogDriver driver;
    driver.on(versioned_title, [&](HWND dialog) {
        shown = selected_item(dialog);
        if (choose >= 0) SendDlgItemMessageA(dialog, IDC_MONITORS, CB_SETCURSEL, choose, 0);
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    return shown;
}

TEST_F(OptionsDialog, SaveWithoutChangesWritesNoForEveryAbsentKey) {
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        for (int id : option_box_ids) EXPECT_FALSE(checked(dialog, id)) << id;
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    for (const char* key : option_keys) EXPECT_EQ("no", value_of(key)) << key;
    EXPECT_EQ("primary", value_of(settings::monitors));
}

TEST_F(OptionsDialog, ThePreviewBoxShowsAndSavesItsFlag) {
    settings::write(settings::preview, "yes");
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_PREVIEW));
        click(dialog, IDC_PREVIEW);
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_options_dialog(nullptr));
    EXPECT_EQ("no", value_of(settings::preview));
    settings::write(settings::preview, "Yes");
    driver.on(versioned_title, [](HWND dialog) {
        EXPECT_FALSE(checked(dialog, IDC_PREVIEW));
        click(dialog, IDC_PREVIEW);
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ("yes", value_of(settings::preview));
}

TEST_F(OptionsDialog, TheMonitorsListOffersTheFourModesInOrder) {
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        EXPECT_EQ(4, SendDlgItemMessageA(dialog, IDC_MONITORS, CB_GETCOUNT, 0, 0));
        EXPECT_EQ("Primary only, others black", item_text(dialog, 0));
        EXPECT_EQ("Span all monitors", item_text(dialog, 1));
        EXPECT_EQ("Mirror on every monitor", item_text(dialog, 2));
        EXPECT_EQ("Separate on every monitor", item_text(dialog, 3));
        char name[32] = "";
        GetClassNameA(GetDlgItem(dialog, IDC_MONITORS), name, sizeof name);
        EXPECT_STREQ("ComboBox", name);
        EXPECT_EQ(CBS_DROPDOWNLIST, GetWindowLongA(GetDlgItem(dialog, IDC_MONITORS), GWL_STYLE) & 3);
        click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
}

TEST_F(OptionsDialog, TheMonitorsListShowsTheStoredModeAndSaveWritesTheChosenOne) {
    EXPECT_EQ(1, show_and_pick_monitors("span", -1));
    EXPECT_EQ("span", value_of(settings::monitors));
    EXPECT_EQ(2, show_and_pick_monitors("mirror", -1));
    EXPECT_EQ("mirror", value_of(settings::monitors));
    EXPECT_EQ(0, show_and_pick_monitors("primary", 1));
    EXPECT_EQ("span", value_of(settings::monitors));
    EXPECT_EQ(1, show_and_pick_monitors("span", 2));
    EXPECT_EQ("mirror", value_of(settings::monitors));
    EXPECT_EQ(2, show_and_pick_monitors("mirror", 3));
    EXPECT_EQ("separate", value_of(settings::monitors));
    EXPECT_EQ(3, show_and_pick_monitors("separate", 0));
    EXPECT_EQ("primary", value_of(settings::monitors));
}

TEST_F(OptionsDialog, AnyOtherStoredMonitorsTextShowsPrimaryOnly) {
    // (The profile functions trim the spaces around a value, so a stored "span "
    // reads as "span", as "yes " reads as "yes".)
    for (const char* other : {"Span", "SPAN", "Mirror", "mirror2", "both", ""}) {
        EXPECT_EQ(0, show_and_pick_monitors(other, -1)) << '"' << other << '"';
        EXPECT_EQ("primary", value_of(settings::monitors)) << '"' << other << '"';
    }
    EXPECT_EQ(0, show_and_pick_monitors(nullptr, -1));
    EXPECT_EQ("primary", value_of(settings::monitors));
}

TEST_F(OptionsDialog, CancelLeavesTheStoredMonitorsMode) {
    settings::write(settings::monitors, "Span");
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_MONITORS, CB_SETCURSEL, 2, 0);
        click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, show_options_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ("Span", value_of(settings::monitors));
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

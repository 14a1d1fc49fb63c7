#include <gtest/gtest.h>

#include <windows.h>
#include <memory>
#include "res/resource.h"
#include "savewin/dialog_driver.h"
#include "savewin/saver_window_fixture.h"
#include "savewin/settings.h"

namespace {

// The saver window among other programs: which activation changes wake it,
// and which band it takes for "stay on top" in each monitors mode.
class SaverWindowGuardTest : public SaverWindowTest {
protected:
    void activate_app(bool active) { SendMessageA(window->hwnd, WM_ACTIVATEAPP, active, 0); }
    // Handles what the saver posted to itself, as its message loop would; no
    // paint, which would run the effect.
    void run_posted() {
        MSG message;
        while (PeekMessageA(&message, window->hwnd, WM_APP, 0xBFFF, PM_REMOVE)) DispatchMessageA(&message);
    }
    bool topmost() const { return (GetWindowLongPtrA(window->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
};

TEST_F(SaverWindowGuardTest, AnotherProgramActivatedEndsARunThatWasActive) {
    settings::write(settings::ignore_mouse, "yes");
    open();
    activate_app(false);   // its own start: it was never the active program
    run_posted();
    EXPECT_TRUE(alive());
    activate_app(true);
    activate_app(false);
    EXPECT_TRUE(alive()) << "the wake-up waits for the message loop";
    run_posted();
    EXPECT_FALSE(alive()) << "not a mouse event, so \"ignore mouse\" does not hold it back";
}

TEST_F(SaverWindowGuardTest, AnOpenDialogOfItsOwnKeepsItRunning) {
    open();
    activate_app(true);
    dialog_open = true;
    activate_app(false);
    run_posted();
    EXPECT_TRUE(alive());
    // A dialog that opened after the change was posted asks the user already.
    dialog_open = false;
    activate_app(false);
    dialog_open = true;
    run_posted();
    EXPECT_TRUE(alive());
    dialog_open = false;
    activate_app(false);
    run_posted();
    EXPECT_FALSE(alive());
}

// With a password the options dialog is no way past it: another program
// ends the dialog as Cancel (the options stay as they were) and the saver asks.
TEST_F(SaverWindowGuardTest, WithAPasswordAnotherProgramEndsTheOptionsDialogAndAsks) {
    SaverWindow& saver = open();
    saver.password = String("abc");
    auto resources = std::make_unique<SaverResources>();
    ASSERT_TRUE(resources->loaded()) << "quorix.scr must be built beside the test";

    bool password_asked = false;
    DialogDriver driver;
    driver.on(versioned_title, [this](HWND dialog) {
            CheckDlgButton(dialog, IDC_HIDE_MOUSE, BST_CHECKED);
            activate_app(false);
        }, IDC_HIDE_MOUSE)
        .on(versioned_title, [&password_asked](HWND dialog) {
            password_asked = true;
            set_text(dialog, IDC_PASSWORD_ENTRY, "abc");
            click(dialog, IDOK);
        }, IDC_PASSWORD_ENTRY);
    activate_app(true);
    type('s');
    EXPECT_TRUE(alive()) << "the options dialog ended, the password is asked from the message loop";
    EXPECT_FALSE(cursor_hidden) << "ended as Cancel: the options were not applied";
    run_posted();
    resources.reset();
    EXPECT_TRUE(driver.finished());
    EXPECT_TRUE(password_asked);
    EXPECT_FALSE(alive());
}

TEST_F(SaverWindowGuardTest, WithAPasswordAnotherProgramOpensThePasswordDialog) {
    SaverWindow& saver = open();
    saver.password = String("abc");
    auto resources = std::make_unique<SaverResources>();
    ASSERT_TRUE(resources->loaded()) << "quorix.scr must be built beside the test";

    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) { click(dialog, IDCANCEL); }, IDC_PASSWORD_ENTRY)
        .on(versioned_title, [](HWND dialog) {
            set_text(dialog, IDC_PASSWORD_ENTRY, "ABC");
            click(dialog, IDOK);
        }, IDC_PASSWORD_ENTRY);
    activate_app(true);
    activate_app(false);
    run_posted();
    EXPECT_TRUE(alive()) << "cancelled, the saver goes on";
    activate_app(false);
    run_posted();
    resources.reset();
    EXPECT_TRUE(driver.finished());
    EXPECT_FALSE(alive());
}

// "stay on top" off: the saver window of primary only leaves the topmost band,
// the one of span mode does not.
TEST_F(SaverWindowGuardTest, SpanModeKeepsTheWindowTopmostWhateverStayOnTopSays) {
    SaverWindow& primary = open();
    primary.set_topmost(true);
    EXPECT_TRUE(topmost());
    primary.set_topmost(false);
    EXPECT_FALSE(topmost());

    settings::write(settings::monitors, "span");
    SaverWindow& span = open();
    span.set_topmost(false);
    EXPECT_TRUE(topmost());
}

}  // namespace

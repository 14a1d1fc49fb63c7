#include <string>
#include <gtest/gtest.h>
#include "res/resource.h"
#include "savewin/dialog_driver.h"
#include "savewin/password.h"
#include "savewin/settings.h"

namespace {

std::string stored_value() {
    return settings::read(settings::password, "(absent)", 256);
}

void store_password(const char* password) {
    String form(password);
    form.encode(password_key);
    settings::write(settings::password, form.text());
}

// --- The checks of the change dialog, without the dialog ---

TEST(PasswordChangeChecks, CheckedBoxFollowsTheGivenOrder) {
    const String stored("secret");
    // An empty new password is reported first, even with a wrong old one.
    PasswordChange change = check_password_change(true, stored, "wrong", "", "");
    EXPECT_STREQ("Enter new password", change.message);
    EXPECT_EQ(IDC_NEW_PASSWORD, change.focus);

    change = check_password_change(true, stored, "wrong", "next", "other");
    EXPECT_STREQ("Old password is not correct", change.message);
    EXPECT_EQ(IDC_OLD_PASSWORD, change.focus);

    change = check_password_change(true, stored, "", "next", "next");
    EXPECT_STREQ("Old password is not correct", change.message);

    change = check_password_change(true, stored, "secret", "next", "nexT");
    EXPECT_STREQ("Retyped password is not the same as the new password", change.message);
    EXPECT_EQ(IDC_NEW_PASSWORD, change.focus);

    change = check_password_change(true, stored, "secret", "next", "next");
    EXPECT_EQ(nullptr, change.message);
    EXPECT_EQ(PasswordChange::store, change.action);

    // With nothing stored the old box is not looked at.
    change = check_password_change(true, "", "anything", "first", "first");
    EXPECT_EQ(nullptr, change.message);
    EXPECT_EQ(PasswordChange::store, change.action);
}

TEST(PasswordChangeChecks, NewPasswordMustFitTheWakeUpEntry) {
    const std::string longest(max_password_length, 'x');
    const std::string too_long(max_password_length + 1, 'x');
    PasswordChange change = check_password_change(true, "", "", longest.c_str(), longest.c_str());
    EXPECT_EQ(nullptr, change.message);

    change = check_password_change(true, "", "", too_long.c_str(), too_long.c_str());
    EXPECT_STREQ("New password is longer than 19 characters", change.message);
    EXPECT_EQ(IDC_NEW_PASSWORD, change.focus);
    EXPECT_EQ(PasswordChange::keep, change.action);
}

TEST(PasswordChangeChecks, NewPasswordMustBePrintableAscii) {
    EXPECT_EQ(nullptr, check_password_change(true, "", "", " ~ok!", " ~ok!").message);
    for (const char* bad : {"tab\there", "del\x7f", "caf\xe9", "\x1f"}) {
        PasswordChange change = check_password_change(true, "", "", bad, bad);
        EXPECT_STREQ("New password may hold only unaccented letters, digits, spaces and punctuation",
                     change.message)
            << bad;
        EXPECT_EQ(IDC_NEW_PASSWORD, change.focus);
        EXPECT_EQ(PasswordChange::keep, change.action);
    }
}

TEST(PasswordChangeChecks, ClearedBoxRemovesOnlyWithTheRightOldPassword) {
    PasswordChange change = check_password_change(false, "", "whatever", "", "");
    EXPECT_EQ(nullptr, change.message);
    EXPECT_EQ(PasswordChange::keep, change.action);

    change = check_password_change(false, "secret", "", "", "");
    EXPECT_STREQ("Enter old password", change.message);
    EXPECT_EQ(IDC_OLD_PASSWORD, change.focus);

    change = check_password_change(false, "secret", "secrets", "", "");
    EXPECT_STREQ("Old password is not correct", change.message);
    EXPECT_EQ(IDC_OLD_PASSWORD, change.focus);

    change = check_password_change(false, "secret", "secret", "", "");
    EXPECT_EQ(nullptr, change.message);
    EXPECT_EQ(PasswordChange::remove, change.action);
}

// --- The stored form ---

class StoredPassword : public DialogTest {};

TEST_F(StoredPassword, ReadsBackDecodedAndLowerCased) {
    EXPECT_TRUE(stored_password().empty()) << "absent";
    store_password("Open Sesame");
    EXPECT_EQ(3u * 11 + 2, stored_value().size());
    EXPECT_STREQ("open sesame", stored_password().text());
}

TEST_F(StoredPassword, UnreadableValuesCountAsNoPassword) {
    for (const char* value : {"", "00", "zz zz 12", "41 42 43"}) {
        settings::write(settings::password, value);
        EXPECT_TRUE(stored_password().empty()) << value;
    }
    // Well-formed, but holding characters the wake-up entry could never match.
    for (const char* unreadable : {"tab\t", "caf\xe9"}) {
        store_password(unreadable);
        EXPECT_TRUE(stored_password().empty()) << unreadable;
    }
}

// --- The change-password dialog ---

class ChangePasswordDialog : public DialogTest {};

TEST_F(ChangePasswordDialog, FirstPasswordIsStoredLowerCased) {
    DialogDriver driver;
    driver
        .on(plain_title, [](HWND dialog) {
            EXPECT_EQ(plain_title, text_of(dialog)) << "no version in this caption";
            EXPECT_FALSE(checked(dialog, IDC_PROTECTED));
            for (int id : {IDC_OLD_LABEL, IDC_OLD_PASSWORD, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD})
                EXPECT_FALSE(enabled(dialog, id)) << id;
            EXPECT_TRUE(enabled(dialog, IDC_NEW_LABEL));
            EXPECT_TRUE(enabled(dialog, IDC_RETYPE_LABEL));
            EXPECT_EQ(max_stored_password_length,
                      SendDlgItemMessageA(dialog, IDC_OLD_PASSWORD, EM_GETLIMITTEXT, 0, 0));
            for (int id : {IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD})
                EXPECT_EQ(max_password_length, SendDlgItemMessageA(dialog, id, EM_GETLIMITTEXT, 0, 0));
            click(dialog, IDC_PROTECTED);
        })
        .on(plain_title, [](HWND dialog) {
            EXPECT_TRUE(checked(dialog, IDC_PROTECTED));
            for (int id : {IDC_NEW_LABEL, IDC_RETYPE_LABEL, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD})
                EXPECT_TRUE(enabled(dialog, id)) << id;
            EXPECT_FALSE(enabled(dialog, IDC_OLD_PASSWORD)) << "nothing stored, no old password";
            set_text(dialog, IDC_NEW_PASSWORD, "Nineteen Characters");
            set_text(dialog, IDC_RETYPE_PASSWORD, "NINETEEN characters");
            click(dialog, IDOK);
        });
    EXPECT_EQ(1, show_change_password_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(3u * 19 + 2, stored_value().size());
    EXPECT_STREQ("nineteen characters", stored_password().text());
}

TEST_F(ChangePasswordDialog, OneCharacterIsStoredAsFiveCharacters) {
    DialogDriver driver;
    driver.on(plain_title, [](HWND dialog) {
        click(dialog, IDC_PROTECTED);
        set_text(dialog, IDC_NEW_PASSWORD, "Q");
        set_text(dialog, IDC_RETYPE_PASSWORD, "q");
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_change_password_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    std::string value = stored_value();
    ASSERT_EQ(5u, value.size()) << value;
    EXPECT_EQ(' ', value[2]);
    EXPECT_EQ("71", value.substr(3)) << "checksum of \"q\"";
}

TEST_F(ChangePasswordDialog, ClearingTheBoxWithTheOldPasswordRemovesIt) {
    store_password("secret");
    DialogDriver driver;
    driver
        .on(plain_title, [](HWND dialog) {
            click(dialog, IDC_PROTECTED);
        })
        .on(plain_title, [](HWND dialog) {
            for (int id : {IDC_NEW_LABEL, IDC_RETYPE_LABEL, IDC_NEW_PASSWORD, IDC_RETYPE_PASSWORD})
                EXPECT_FALSE(enabled(dialog, id)) << id;
            EXPECT_TRUE(enabled(dialog, IDC_OLD_LABEL));
            EXPECT_TRUE(enabled(dialog, IDC_OLD_PASSWORD));
            click(dialog, IDOK);
        })
        .on(error_title, [](HWND box) {
            EXPECT_EQ("Enter old password", message_text(box));
            click(box, IDOK);
        })
        .on(plain_title, [](HWND dialog) {
            EXPECT_EQ(IDC_OLD_PASSWORD, focused_id(dialog));
            set_text(dialog, IDC_OLD_PASSWORD, "SECRET");
            click(dialog, IDOK);
        });
    EXPECT_EQ(1, show_change_password_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ("(absent)", stored_value());
}

TEST_F(ChangePasswordDialog, ClearedBoxWithNothingStoredWritesNothing) {
    settings::write(settings::password, "not a stored form");
    DialogDriver driver;
    driver.on(plain_title, [](HWND dialog) {
        EXPECT_FALSE(checked(dialog, IDC_PROTECTED)) << "an unreadable value protects nothing";
        EXPECT_FALSE(enabled(dialog, IDC_OLD_PASSWORD));
        click(dialog, IDOK);
    });
    EXPECT_EQ(1, show_change_password_dialog(nullptr));
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ("not a stored form", stored_value());
}

// --- The wake-up entry ---

class PasswordEntryDialog : public DialogTest {};

TEST_F(PasswordEntryDialog, TakesAtMostNineteenCharactersLowerCased) {
    DialogDriver driver;
    driver
        .on(versioned_title, [](HWND dialog) {
            EXPECT_EQ(max_password_length,
                      SendDlgItemMessageA(dialog, IDC_PASSWORD_ENTRY, EM_GETLIMITTEXT, 0, 0));
            EXPECT_EQ('*', SendDlgItemMessageA(dialog, IDC_PASSWORD_ENTRY, EM_GETPASSWORDCHAR, 0, 0));
            // Text set from outside is not held to the limit; the entry still is.
            set_text(dialog, IDC_PASSWORD_ENTRY, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        })
        .on(versioned_title, [](HWND dialog) {
            click(dialog, IDOK);
        });
    String entered("left over");
    EXPECT_EQ(1, ask_for_password(nullptr, entered));
    EXPECT_TRUE(driver.finished()) << "a system close must not end the dialog";
    EXPECT_STREQ("abcdefghijklmnopqrs", entered.text());
}

TEST_F(PasswordEntryDialog, CancelLeavesNothingEntered) {
    DialogDriver driver;
    driver.on(versioned_title, [](HWND dialog) {
        set_text(dialog, IDC_PASSWORD_ENTRY, "secret");
        click(dialog, IDCANCEL);
    });
    String entered("left over");
    EXPECT_EQ(0, ask_for_password(nullptr, entered));
    EXPECT_TRUE(driver.finished());
    EXPECT_TRUE(entered.empty());
}

}  // namespace

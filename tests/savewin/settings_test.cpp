#include <gtest/gtest.h>

#include "savewin/settings.h"
#include "savewin/settings_backup.h"

namespace {

TEST(Settings, OnlyAnExactLowerCaseYesIsOn) {
    SettingsBackup backup;
    EXPECT_FALSE(settings::read_flag(settings::hide_mouse));   // absent
    for (const char* off : {"YES", "Yes", "1", "true", "yess", "no", ""}) {
        settings::write(settings::hide_mouse, off);
        EXPECT_FALSE(settings::read_flag(settings::hide_mouse)) << off;
    }
    settings::write(settings::hide_mouse, "yes");
    EXPECT_TRUE(settings::read_flag(settings::hide_mouse));
}

TEST(Settings, FlagsAreWrittenAsYesOrNoAndANullValueDeletes) {
    SettingsBackup backup;
    settings::write_flag(settings::stay_on_top, true);
    settings::write_flag(settings::ignore_mouse, false);
    EXPECT_EQ("stay on top=yes|ignore mouse=no", SettingsBackup::section());
    settings::write(settings::stay_on_top, nullptr);
    EXPECT_EQ("ignore mouse=no", SettingsBackup::section());
    EXPECT_EQ("fallback", settings::read(settings::stay_on_top, "fallback"));
}

TEST(Settings, AWritableControlIniTakesTheWritesAndNoPerUserKeyIsMade) {
    SettingsBackup backup;
    HKEY key = nullptr;
    ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, settings::user_key, 0, KEY_READ, &key))
        << "a test left the per-user key behind";
    EXPECT_EQ(0u, settings::write_flag(settings::ignore_mouse, true));
    EXPECT_EQ(0u, settings::write(settings::password, nullptr));
    EXPECT_EQ(0u, settings::write(settings::trace, "yes"));
    EXPECT_EQ(0u, settings::write(settings::trace, nullptr));
    EXPECT_EQ("ignore mouse=yes", SettingsBackup::section());
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, settings::user_key, 0, KEY_READ, &key));
}

TEST(Settings, ALongValueIsCutToTheBuffer) {
    SettingsBackup backup;
    const std::string long_value(3000, 'v');
    settings::write(settings::version, long_value.c_str());
    EXPECT_EQ(std::string(1023, 'v'), settings::read(settings::version, ""));
    EXPECT_EQ(std::string(9, 'v'), settings::read(settings::version, "", 10));
    EXPECT_EQ("", settings::read(settings::version, "", 0));
}

}  // namespace

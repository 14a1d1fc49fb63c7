#include <gtest/gtest.h>

#include <map>
#include "monitors/monitor_layout_math.h"
#include "savewin/settings.h"
#include "savewin/settings_store_math.h"
#include "support/memory_settings_store.h"

namespace {

constexpr unsigned long access_denied = 5;

std::string read(const SettingsStore& profile, const SettingsStore& user, const char* key,
                 const char* fallback = "fallback", unsigned buffer_size = 1024) {
    return read_setting(profile, user, key, fallback, buffer_size);
}

TEST(SettingsRules, AReadTakesThePerUserValueThenTheProfilesThenTheFallback) {
    MemorySettingsStore profile, user;
    EXPECT_EQ("fallback", read(profile, user, "monitors"));
    EXPECT_EQ("fall", read(profile, user, "monitors", "fallback", 5));
    EXPECT_EQ("", read(profile, user, "monitors", nullptr));
    profile.values["monitors"] = "span";
    EXPECT_EQ("span", read(profile, user, "monitors"));
    profile.values["hide mouse"] = "";
    EXPECT_EQ("", read(profile, user, "hide mouse")) << "an empty profile value is a value, as it always was";
    user.values["monitors"] = "mirror";
    EXPECT_EQ("mirror", read(profile, user, "monitors"));
    EXPECT_EQ("mir", read(profile, user, "monitors", "", 4));
    user.values["monitors"] = "";
    EXPECT_EQ("", read(profile, user, "monitors")) << "an empty per-user value is a value, and hides the profile's";
    user.values["monitors"] = "\n";
    EXPECT_EQ("fallback", read(profile, user, "monitors")) << "the mark of a deleted key hides the profile's";
    EXPECT_EQ("f", read(profile, user, "monitors", "fallback", 2));
    EXPECT_EQ("", read(profile, user, "monitors", "fallback", 1));
    EXPECT_EQ("", read(profile, user, "monitors", "fallback", 0));
}

TEST(SettingsRules, AWritableProfileTakesEveryWriteAndThePerUserKeyIsNeverWritten) {
    MemorySettingsStore profile, user;
    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "password", nullptr));
    EXPECT_EQ(0u, write_setting(profile, user, "trace", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "trace", nullptr));
    EXPECT_EQ((std::map<std::string, std::string>{{"ignore mouse", "yes"}}), profile.values);
    EXPECT_EQ(0, user.writes);
}

TEST(SettingsRules, WhereTheProfileRefusesEachSavedValueIsWhatLaterReadsReturn) {
    MemorySettingsStore profile, user;
    // An old control.ini: readable, not writable, with values of its own.
    profile.values = {{"ignore mouse", "no"}, {"password", "old"}, {"monitors", "span"}};
    profile.refusal = access_denied;

    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ("yes", read(profile, user, "ignore mouse"));
    EXPECT_EQ(0u, write_setting(profile, user, "password", nullptr));
    EXPECT_EQ("fallback", read(profile, user, "password")) << "a deleted key stays deleted";
    EXPECT_EQ(0u, write_setting(profile, user, "trace", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "trace", nullptr));
    EXPECT_EQ("fallback", read(profile, user, "trace"));
    EXPECT_EQ(0u, user.values.count("trace")) << "nothing to hide: the value goes";
    EXPECT_EQ("span", read(profile, user, "monitors")) << "an unsaved key keeps the old file's value";
    EXPECT_EQ((std::map<std::string, std::string>{{"ignore mouse", "yes"}, {"password", "\n"}}), user.values);
    EXPECT_EQ("old", profile.values["password"]);
}

TEST(SettingsRules, AProfileWriteRemovesAStalePerUserValueThatWouldHideIt) {
    MemorySettingsStore profile, user;
    user.values = {{"ignore mouse", "yes"}, {"password", ""}, {"monitors", "span"}};
    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "no"));
    EXPECT_EQ("no", read(profile, user, "ignore mouse"));
    EXPECT_EQ(0u, write_setting(profile, user, "password", "abc"));
    EXPECT_EQ("abc", read(profile, user, "password"));
    EXPECT_EQ(0u, write_setting(profile, user, "monitors", nullptr));
    EXPECT_EQ("fallback", read(profile, user, "monitors"));
    EXPECT_TRUE(user.values.empty());
}

TEST(SettingsRules, WithTheMappingTheValuesLiveInThePerUserKey) {
    MemorySettingsStore user;
    MappedProfile profile(user);
    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "password", "abc"));
    EXPECT_EQ(0u, write_setting(profile, user, "password", nullptr));
    EXPECT_EQ((std::map<std::string, std::string>{{"ignore mouse", "yes"}}), user.values);
    EXPECT_EQ("yes", read(profile, user, "ignore mouse"));
    EXPECT_EQ("fallback", read(profile, user, "password"));
}

TEST(SettingsRules, WhenNothingCanBeWrittenTheErrorIsReturnedAndNothingChanges) {
    MemorySettingsStore profile, user;
    profile.values = {{"password", "old"}};
    user.values = {{"ignore mouse", "no"}};
    profile.refusal = 2;
    user.refusal = access_denied;
    EXPECT_EQ(access_denied, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(access_denied, write_setting(profile, user, "password", nullptr));
    EXPECT_EQ("no", read(profile, user, "ignore mouse"));
    EXPECT_EQ("old", read(profile, user, "password"));

    // The profile takes the value, but a stale per-user value that cannot go
    // would still be read instead: that is a failure too.
    profile.refusal = 0;
    EXPECT_EQ(access_denied, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "no")) << "the same value hides nothing";
}

// Whatever the stores, a write reported as done reads back whole: the empty
// value, and values beyond the 32,767 characters that once were compared.
TEST(SettingsRules, AStoredValueOfAnyLengthReadsBackWhole) {
    struct Arrangement {
        const char* name;
        bool mapped;
        bool profile_refuses;
        bool stale_per_user_value;   // one character longer than the value
    };
    const Arrangement arrangements[] = {
        {"writable profile", false, false, false},
        {"writable profile over a stale per-user value", false, false, true},
        {"refusing profile", false, true, false},
        {"refusing profile over a stale per-user value", false, true, true},
        {"mapping", true, false, false},
    };
    for (const size_t length : {0, 1, 32766, 32767, 32768, 40000}) {
        for (const Arrangement& a : arrangements) {
            SCOPED_TRACE(std::string(a.name) + ", " + std::to_string(length) + " characters");
            MemorySettingsStore file, user;
            MappedProfile mapping(user);
            SettingsStore& profile = a.mapped ? static_cast<SettingsStore&>(mapping) : file;
            file.values["password"] = "old";
            file.refusal = a.profile_refuses ? access_denied : 0;
            const std::string value(length, 'x');
            if (a.stale_per_user_value) user.values["password"] = value + "y";
            EXPECT_EQ(0u, write_setting(profile, user, "password", value.c_str()));
            const std::string back = read(profile, user, "password", "fallback", static_cast<unsigned>(length) + 2);
            EXPECT_TRUE(back == value) << "read back: " << back.substr(0, 20) << "... (" << back.size() << ")";
        }
    }
}

// A profile value is one line: one holding a line break is refused, and no
// store changes.
TEST(SettingsRules, AValueHoldingALineBreakIsStoredNowhere) {
    for (const char* value : {"\n", "a\nb", "yes\r", "\r\n"}) {
        for (const unsigned long refusal : {0ul, access_denied}) {
            MemorySettingsStore profile, user;
            profile.values = {{"monitors", "span"}};
            user.values = {{"monitors", "mirror"}};
            profile.refusal = refusal;
            EXPECT_EQ(setting_not_one_line, write_setting(profile, user, "monitors", value));
            EXPECT_EQ(0, profile.writes + user.writes);
            EXPECT_EQ("mirror", read(profile, user, "monitors"));
        }
    }
}

// Earlier versions marked a key deleted with an empty per-user value, which
// now reads as the empty value: every key's reader, with its own fallback,
// takes it as it takes the key's absence, whatever the old control.ini holds.
TEST(SettingsRules, AnEmptyValueThatEarlierVersionsLeftMeansWhatAnAbsentKeyMeans) {
    const auto flag = [](const std::string& text) { return std::string(text == "yes" ? "on" : "off"); };
    const auto mode = [](const std::string& text) { return std::string(monitor_mode_text(monitor_mode_from(text))); };
    const auto text = [](const std::string& text) { return text; };
    struct Reader {
        const char* key;
        const char* fallback;
        std::string (*meaning)(const std::string&);
        const char* old_file_value;
    };
    const Reader readers[] = {
        {settings::hide_mouse, "no", +flag, "yes"},
        {settings::ignore_mouse, "no", +flag, "yes"},
        {settings::stay_on_top, "no", +flag, "yes"},
        {settings::true_colour_cycling, "no", +flag, "yes"},
        {settings::preview, "no", +flag, "yes"},
        {settings::trace, "no", +flag, "yes"},
        {settings::monitors, "", +mode, "span"},
        {settings::password, "", +text, "6e 7c 58"},
        {settings::version, "", +text, "1.0.3.0"},
    };
    for (const Reader& r : readers) {
        SCOPED_TRACE(r.key);
        MemorySettingsStore profile, user, nothing;
        profile.values[r.key] = r.old_file_value;
        profile.refusal = access_denied;
        user.values[r.key] = "";
        EXPECT_EQ(r.meaning(read(nothing, nothing, r.key, r.fallback)), r.meaning(read(profile, user, r.key, r.fallback)));
    }
}

}  // namespace

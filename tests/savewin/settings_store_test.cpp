#include <gtest/gtest.h>

#include <windows.h>
#include <fstream>
#include <sstream>
#include <string>
#include "savewin/settings_store.h"
#include "support/read_only_key.h"

namespace {

constexpr const char* section = "Screen Saver.Quorix";
constexpr const char* test_key = "Software\\Quorix tests\\settings";
// Locked once and kept (see support/read_only_key.h).
constexpr const char* refusing_key = "Software\\Quorix tests\\refusing";
constexpr unsigned long access_denied = ERROR_ACCESS_DENIED;

std::string temp_path(const std::string& name) {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return folder + name;
}

std::string file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool key_exists(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A profile file of the test's own in TEMP and the test key, both gone before
// and after each test.
class SettingsStores : public ::testing::Test {
protected:
    void SetUp() override {
        file = temp_path(std::string("quorix-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                         ".ini");
        remove();
    }
    void TearDown() override { remove(); }
    void remove() {
        DeleteFileA(file.c_str());
        RemoveDirectoryA(file.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, test_key);
    }

    std::string file;
};

TEST_F(SettingsStores, AWritableProfileGetsTheValuesAndThePerUserKeyIsNeverCreated) {
    ProfileStore profile(file.c_str(), section);
    UserKeyStore user(test_key);
    EXPECT_FALSE(profile.read("ignore mouse", 1024)) << "absent";
    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "hide mouse", ""));
    EXPECT_EQ(0u, write_setting(profile, user, "password", nullptr));
    EXPECT_EQ(0u, write_setting(profile, user, "trace", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "trace", nullptr));
    EXPECT_EQ(std::optional<std::string>(""), profile.read("hide mouse", 1024)) << "empty, not absent";
    EXPECT_EQ("yes", read_setting(profile, user, "ignore mouse", "no", 1024));
    EXPECT_EQ("[Screen Saver.Quorix]\r\nignore mouse=yes\r\nhide mouse=\r\n", file_bytes(file));
    EXPECT_FALSE(key_exists(test_key));
}

TEST_F(SettingsStores, WhereTheProfileCannotBeWrittenThePerUserKeyKeepsTheValues) {
    // As root, Wine writes any file it can open; a folder in the file's place
    // refuses as a closed Windows folder does.
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
    ProfileStore profile(file.c_str(), section);
    UserKeyStore user(test_key);
    EXPECT_EQ(access_denied, profile.write("ignore mouse", "yes"));
    EXPECT_FALSE(profile.read("ignore mouse", 1024));

    EXPECT_EQ(0u, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(0u, write_setting(profile, user, "monitors", "mirror"));
    EXPECT_EQ("yes", read_setting(profile, user, "ignore mouse", "no", 1024));
    EXPECT_EQ("mi", read_setting(profile, user, "monitors", "", 3));
    EXPECT_EQ(0u, write_setting(profile, user, "monitors", nullptr));
    EXPECT_FALSE(user.read("monitors", 1024)) << "nothing to hide: the value is deleted";
    EXPECT_EQ(0u, write_setting(profile, user, "password", nullptr)) << "deleting what is not there succeeds";
    EXPECT_EQ(std::optional<std::string>("yes"), user.read("ignore mouse", 1024));
}

// The empty value and one longer than any the saver writes come back whole
// from the registry, and so does a key deleted over an old value.
TEST_F(SettingsStores, WhereTheProfileCannotBeWrittenEveryValueReadsBackWhole) {
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
    ProfileStore profile(file.c_str(), section);
    UserKeyStore user(test_key);
    for (const std::string& value : {std::string(), std::string("no"), std::string(40000, 'x')}) {
        SCOPED_TRACE(value.size());
        EXPECT_EQ(0u, write_setting(profile, user, "password", value.c_str()));
        EXPECT_TRUE(read_setting(profile, user, "password", "fallback", 40002) == value);
    }
    EXPECT_EQ(0u, write_setting(profile, user, "password", nullptr));
    EXPECT_EQ("fallback", read_setting(profile, user, "password", "fallback", 1024));
}

TEST_F(SettingsStores, APerUserValueOfAnotherTypeIsNoSetting) {
    UserKeyStore user(test_key);
    ASSERT_EQ(0u, user.write("password", "abc"));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, test_key, 0, KEY_SET_VALUE, &key));
    const DWORD number = 1;
    RegSetValueExA(key, "ignore mouse", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    EXPECT_FALSE(user.read("ignore mouse", 1024));
    EXPECT_EQ(std::optional<std::string>("abc"), user.read("password", 1024));
}

TEST_F(SettingsStores, WhenNothingCanBeWrittenTheErrorComesBackAndTheOldValuesStay) {
    ASSERT_TRUE(lock_user_key(refusing_key, "ignore mouse", "no"));
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
    ProfileStore profile(file.c_str(), section);
    UserKeyStore user(refusing_key);
    EXPECT_EQ(access_denied, write_setting(profile, user, "ignore mouse", "yes"));
    EXPECT_EQ(access_denied, write_setting(profile, user, "ignore mouse", nullptr));
    EXPECT_EQ(access_denied, write_setting(profile, user, "password", "abc"));
    EXPECT_EQ("no", read_setting(profile, user, "ignore mouse", "", 1024));
    EXPECT_EQ("", read_setting(profile, user, "password", "", 1024));
}

}  // namespace

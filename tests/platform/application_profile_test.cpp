// The host profile as the application object reaches it: the profile file's place, the profile
// functions, and section keys deleted as registry keys.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/scratch_profile.h"
#include "winreg.h"

namespace {

constexpr const char* kData = "ModuleData\\RadarData";

// Restores an environment variable when the test ends.
class ScopedEnvironment {
public:
  explicit ScopedEnvironment(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) saved_ = value;
  }
  ~ScopedEnvironment() {
    if (saved_) setenv(name_, saved_->c_str(), 1);
    else unsetenv(name_);
  }

private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(HostProfilePath, DefaultsToTheConfigFolderOfTheHostExecutable) {
  ScopedEnvironment config("XDG_CONFIG_HOME");
  ScopedEnvironment home("HOME");
  AfxSetHostProfilePath(nullptr);
  setenv("XDG_CONFIG_HOME", "/tmp/config-home", 1);
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/tmp/config-home/platform_profile_tests/profile.ini");
  // A relative XDG_CONFIG_HOME is not to be used.
  setenv("XDG_CONFIG_HOME", "relative", 1);
  setenv("HOME", "/home/mariner", 1);
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/home/mariner/.config/platform_profile_tests/profile.ini");
  AfxSetHostProfilePath("/chosen/by/host.ini");
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/chosen/by/host.ini");
  AfxSetHostProfilePath("");
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/home/mariner/.config/platform_profile_tests/profile.ini");
}

using ApplicationProfile = ProfileTest;

TEST_F(ApplicationProfile, ReadsAndWritesThroughTheHostProfileFile) {
  EXPECT_TRUE(app_->WriteProfileInt(kData, "TRAIL_TIME", -30));
  EXPECT_TRUE(app_->WriteProfileString(kData, "NAME", "r\xE9glage"));
  EXPECT_EQ(static_cast<int>(app_->GetProfileInt(kData, "TRAIL_TIME", 7)), -30);
  EXPECT_EQ(static_cast<int>(app_->GetProfileInt(kData, "ABSENT", 7)), 7);
  EXPECT_EQ(app_->GetProfileString(kData, "NAME").str(), "r\xE9glage");
  EXPECT_EQ(app_->GetProfileString(kData, "ABSENT").str(), "");
  EXPECT_EQ(Stored(profilePath_, kData, "TRAIL_TIME"), "-30");
  // Null value deletes the entry, null entry the section.
  EXPECT_TRUE(app_->WriteProfileString(kData, "NAME", nullptr));
  EXPECT_EQ(app_->GetProfileString(kData, "NAME", "gone").str(), "gone");
  EXPECT_TRUE(app_->WriteProfileString(kData, nullptr, nullptr));
  EXPECT_EQ(static_cast<int>(app_->GetProfileInt(kData, "TRAIL_TIME", 7)), 7);
}

TEST_F(ApplicationProfile, ReadsSeeWhatAnotherProcessWrote) {
  app_->WriteProfileInt(kData, "K", 1);
  EXPECT_EQ(static_cast<int>(app_->GetProfileInt(kData, "K", 0)), 1);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(app_->WriteProfileInt(kData, "K", 2) ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(static_cast<int>(app_->GetProfileInt(kData, "K", 0)), 2);
}

TEST_F(ApplicationProfile, DeletingASectionKeyDeletesTheSectionsBelowIt) {
  Store(profilePath_, kData, "A", "1");
  Store(profilePath_, "ModuleData\\RadarData\\Files", "B", "2");
  Store(profilePath_, "ModuleData\\Other", "C", "3");
  HKEY key = app_->GetSectionKey(kData);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(RegDeleteKeyA(key, ""), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(key, ""), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Stored(profilePath_, kData, "A"), std::nullopt);
  EXPECT_EQ(Stored(profilePath_, "ModuleData\\RadarData\\Files", "B"), std::nullopt);
  EXPECT_EQ(Stored(profilePath_, "ModuleData\\Other", "C"), "3");
  // A subkey name reaches below the key.
  HKEY parent = app_->GetSectionKey("ModuleData");
  EXPECT_EQ(RegDeleteKeyA(parent, "Other"), ERROR_SUCCESS);
  EXPECT_EQ(Stored(profilePath_, "ModuleData\\Other", "C"), std::nullopt);
  EXPECT_EQ(RegDeleteKeyA(parent, nullptr), ERROR_INVALID_PARAMETER);
  // Closed or foreign handles are refused, not followed.
  EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(parent), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegDeleteKeyA(parent, ""), ERROR_INVALID_HANDLE);
  EXPECT_EQ(app_->GetSectionKey("bad]name"), nullptr);
}

TEST_F(ApplicationProfile, ASectionKeyEnumeratesTheSectionsKeysAsTheyWereAtTheFirstIndex) {
  Store(profilePath_, kData, "First", "1");
  Store(profilePath_, kData, "A_Longer_Name", "2");
  HKEY key = app_->GetSectionKey(kData);
  ASSERT_NE(key, nullptr);
  char name[8];
  DWORD length = sizeof name;
  ASSERT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, length), "First");
  Store(profilePath_, kData, "Later", "3");
  length = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 13u);
  length = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
}

}  // namespace

// The host profile as the module reaches it: the application object's profile functions, section keys,
// the typed helpers with their sentinels, the counted lists, and the data module's use of them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "advapi32/advapi32.h"
#include "common/profile.h"
#include "kernel32/private_profile.h"
#include "module/module_data.h"
#include "scratch_profile.h"

namespace {

constexpr const char* kData = "ModuleData\\RadarData";
constexpr const char* kDisplay = "ModuleDisplay\\RadarDisplay_0";

// A value as stored in the profile file, read past the module's helpers.
std::optional<std::string> Stored(const std::string& file, const char* section, const char* key) {
  std::string value;
  if (!ReadPrivateProfileValue(section, key, value, file.c_str())) return std::nullopt;
  return value;
}

void Store(const std::string& file, const char* section, const char* key, const char* value) {
  ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, file.c_str()));
}

std::vector<std::string> Texts(const std::vector<CString>& list) {
  std::vector<std::string> texts;
  for (const CString& text : list) texts.push_back(text.str());
  return texts;
}

std::vector<std::string> Items(ModuleLayerKeyList list) {
  std::vector<std::string> items;
  list.Rewind();
  ModuleLayerKey key;
  while (list.Next(key)) items.push_back(key.GetModule().str() + "?" + key.GetItem().str());
  return items;
}

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
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/tmp/config-home/profile_tests/profile.ini");
  // A relative XDG_CONFIG_HOME is not to be used.
  setenv("XDG_CONFIG_HOME", "relative", 1);
  setenv("HOME", "/home/mariner", 1);
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/home/mariner/.config/profile_tests/profile.ini");
  AfxSetHostProfilePath("/chosen/by/host.ini");
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/chosen/by/host.ini");
  AfxSetHostProfilePath("");
  EXPECT_EQ(AfxGetHostProfilePath().str(), "/home/mariner/.config/profile_tests/profile.ini");
}

using ApplicationProfile = ProfileTest;

TEST_F(ApplicationProfile, ReadsAndWritesThroughTheHostProfileFile) {
  EXPECT_TRUE(app->WriteProfileInt(kData, "TRAIL_TIME", -30));
  EXPECT_TRUE(app->WriteProfileString(kData, "NAME", "r\xE9glage"));
  EXPECT_EQ(static_cast<int>(app->GetProfileInt(kData, "TRAIL_TIME", 7)), -30);
  EXPECT_EQ(static_cast<int>(app->GetProfileInt(kData, "ABSENT", 7)), 7);
  EXPECT_EQ(app->GetProfileString(kData, "NAME").str(), "r\xE9glage");
  EXPECT_EQ(app->GetProfileString(kData, "ABSENT").str(), "");
  EXPECT_EQ(Stored(profilePath, kData, "TRAIL_TIME"), "-30");
  // Null value deletes the entry, null entry the section.
  EXPECT_TRUE(app->WriteProfileString(kData, "NAME", nullptr));
  EXPECT_EQ(app->GetProfileString(kData, "NAME", "gone").str(), "gone");
  EXPECT_TRUE(app->WriteProfileString(kData, nullptr, nullptr));
  EXPECT_EQ(static_cast<int>(app->GetProfileInt(kData, "TRAIL_TIME", 7)), 7);
}

TEST_F(ApplicationProfile, ReadsSeeWhatAnotherProcessWrote) {
  app->WriteProfileInt(kData, "K", 1);
  EXPECT_EQ(static_cast<int>(app->GetProfileInt(kData, "K", 0)), 1);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(app->WriteProfileInt(kData, "K", 2) ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(static_cast<int>(app->GetProfileInt(kData, "K", 0)), 2);
}

TEST_F(ApplicationProfile, DeletingASectionKeyDeletesTheSectionsBelowIt) {
  Store(profilePath, kData, "A", "1");
  Store(profilePath, "ModuleData\\RadarData\\Files", "B", "2");
  Store(profilePath, "ModuleData\\Other", "C", "3");
  HKEY key = app->GetSectionKey(kData);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(RegDeleteKeyA(key, ""), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(key, ""), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Stored(profilePath, kData, "A"), std::nullopt);
  EXPECT_EQ(Stored(profilePath, "ModuleData\\RadarData\\Files", "B"), std::nullopt);
  EXPECT_EQ(Stored(profilePath, "ModuleData\\Other", "C"), "3");
  // A subkey name reaches below the key.
  HKEY parent = app->GetSectionKey("ModuleData");
  EXPECT_EQ(RegDeleteKeyA(parent, "Other"), ERROR_SUCCESS);
  EXPECT_EQ(Stored(profilePath, "ModuleData\\Other", "C"), std::nullopt);
  EXPECT_EQ(RegDeleteKeyA(parent, nullptr), ERROR_INVALID_PARAMETER);
  // Closed or foreign handles are refused, not followed.
  EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(parent), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegDeleteKeyA(parent, ""), ERROR_INVALID_HANDLE);
  EXPECT_EQ(app->GetSectionKey("bad]name"), nullptr);
}

using ProfileHelpers = ProfileTest;

TEST_F(ProfileHelpers, MissingEntriesAndSentinelValuesReadAsMissingWithTheDefault) {
  int number = 0;
  EXPECT_FALSE(ProfileReadInt(kData, "ABSENT", number, 12));
  EXPECT_EQ(number, 12);
  Store(profilePath, kData, "INT", "-32768");
  number = 0;
  EXPECT_FALSE(ProfileReadInt(kData, "INT", number, 12));
  EXPECT_EQ(number, 12);
  Store(profilePath, kData, "TEXT", ProfileMissingText);
  CString text = "before";
  EXPECT_FALSE(ProfileReadString(kData, "TEXT", text, "fallback"));
  EXPECT_EQ(text.str(), "fallback");
  Store(profilePath, kData, "TEXT", "");
  EXPECT_TRUE(ProfileReadString(kData, "TEXT", text, "fallback"));
  EXPECT_EQ(text.str(), "");
}

TEST_F(ProfileHelpers, FlagsAreStoredAsOneOrZeroAndReadAsNonZero) {
  ProfileWriteBool(kDisplay, "Visible", false);
  EXPECT_EQ(Stored(profilePath, kDisplay, "Visible"), "0");
  bool flag = true;
  EXPECT_TRUE(ProfileReadBool(kDisplay, "Visible", flag, true));
  EXPECT_FALSE(flag);
  Store(profilePath, kDisplay, "Visible", "5");
  EXPECT_TRUE(ProfileReadBool(kDisplay, "Visible", flag, false));
  EXPECT_TRUE(flag);
  flag = false;
  EXPECT_FALSE(ProfileReadBool(kDisplay, "Absent", flag, true));
  EXPECT_TRUE(flag);
}

TEST_F(ProfileHelpers, RealsAreStoredAsSixDecimalText) {
  EXPECT_TRUE(ProfileWriteDouble(kData, "VK_SHIFT_DIST", 2.5));
  EXPECT_EQ(Stored(profilePath, kData, "VK_SHIFT_DIST"), "2.500000");
  double value = 0.0;
  EXPECT_TRUE(ProfileReadDouble(kData, "VK_SHIFT_DIST", value, 9.0));
  EXPECT_EQ(value, 2.5);
  // Text that is no number fails like a missing entry and leaves the default.
  Store(profilePath, kData, "VK_SHIFT_DIST", "far");
  value = 1.0;
  EXPECT_FALSE(ProfileReadDouble(kData, "VK_SHIFT_DIST", value, 0.0));
  EXPECT_EQ(value, 0.0);
  EXPECT_FALSE(ProfileReadDouble(kData, "ABSENT", value, 3.25));
  EXPECT_EQ(value, 3.25);
}

TEST_F(ProfileHelpers, WithoutApplicationObjectReadsFailAndWritesDoNothing) {
  app.reset();
  EXPECT_FALSE(ProfileWriteString(kData, "K", "v"));
  ProfileWriteInt(kData, "I", 1);
  EXPECT_FALSE(ProfileWriteDouble(kData, "D", 1.0));
  ProfileWriteStringList(kData, {"a"});
  EXPECT_FALSE(std::filesystem::exists(profilePath));

  Store(profilePath, kData, "K", "v");
  CString text = "untouched";
  EXPECT_FALSE(ProfileReadString(kData, "K", text, "default"));
  EXPECT_EQ(text.str(), "untouched");
  int number = 0;
  EXPECT_FALSE(ProfileReadInt(kData, "K", number, 4));
  EXPECT_EQ(number, 4);
  EXPECT_TRUE(ProfileReadStringList(kData).empty());
}

TEST_F(ProfileHelpers, StringListsKeepTheirOrderAndLeaveOldEntriesBehindTheCount) {
  ProfileWriteStringList(kData, {"a", "b", "c"});
  EXPECT_EQ(Stored(profilePath, kData, "NbOpenedFiles"), "3");
  EXPECT_EQ(Stored(profilePath, kData, "File2"), "c");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"a", "b", "c"}));
  ProfileWriteStringList(kData, {"z"});
  EXPECT_EQ(Stored(profilePath, kData, "NbOpenedFiles"), "1");
  EXPECT_EQ(Stored(profilePath, kData, "File1"), "b");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"z"}));
  ProfileWriteStringList(kData, {});
  EXPECT_EQ(Stored(profilePath, kData, "NbOpenedFiles"), "0");
  EXPECT_TRUE(ProfileReadStringList(kData).empty());
}

TEST_F(ProfileHelpers, StringListReadsSkipMissingAndEmptyEntries) {
  ProfileWriteStringList(kData, {"a", "", "c", "d"});
  WritePrivateProfileStringA(kData, "File2", nullptr, profilePath.c_str());
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"a", "d"}));
}

TEST_F(ProfileHelpers, AHugeOrNegativeStoredCountEndsTheReadWithinSixteenBits) {
  Store(profilePath, kData, "File0", "first");
  Store(profilePath, kData, "File32766", "last readable");
  Store(profilePath, kData, "File32767", "beyond");
  Store(profilePath, kData, "NbOpenedFiles", "2000000000");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"first", "last readable"}));
  Store(profilePath, kData, "NbOpenedFiles", "-3");
  EXPECT_TRUE(ProfileReadStringList(kData).empty());
}

TEST_F(ProfileHelpers, KeyListsStoreModuleAndItemAndReadBackValidKeys) {
  ModuleLayerKeyList keys;
  keys.Add(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
  keys.Add(ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"));
  ProfileWriteKeyList(kDisplay, keys);
  EXPECT_EQ(Stored(profilePath, kDisplay, "NbLayer"), "2");
  std::vector<std::string> stored = {*Stored(profilePath, kDisplay, "Layer0"), *Stored(profilePath, kDisplay, "Layer1")};
  EXPECT_EQ(stored, Items(keys));
  EXPECT_EQ(Items(ProfileReadKeyList(kDisplay)), Items(keys));

  Store(profilePath, kDisplay, "Layer0", "NO_SEPARATOR");
  EXPECT_EQ(Items(ProfileReadKeyList(kDisplay)), std::vector<std::string>{stored[1]});
  Store(profilePath, kDisplay, "NbLayer", "-32768");
  EXPECT_EQ(ProfileReadKeyList(kDisplay).Count(), 0);
  ModuleLayerKeyList none;
  ProfileWriteKeyList(kDisplay, none);
  EXPECT_EQ(Stored(profilePath, kDisplay, "NbLayer"), "0");
}

// A data module with open files and a record of what it was asked to reopen.
class FileKeepingModule : public ModuleData {
public:
  explicit FileKeepingModule(const char* displaySection) : displaySection_(displaySection) {}
  ModuleDisplay* CreateDisplay() override { return nullptr; }
  std::vector<FileTypeDescriptor> GetFileTypes() override { return {}; }
  const CString& GetName() override { return name_; }
  ProfileSections GetProfileSections() override { return {kData, displaySection_}; }
  std::vector<CString> GetOpenedFiles() override { return openFiles; }
  FileOpenReport OpenFiles(const std::vector<CString>& paths, bool restoring) override {
    reopened = paths;
    reopenedAsRestore = restoring;
    return {};
  }

  std::vector<CString> openFiles;
  std::vector<CString> reopened;
  bool reopenedAsRestore = false;

private:
  CString name_ = "RADAR_MODULE";
  CString displaySection_;
};

using DataModuleProfile = ProfileTest;

TEST_F(DataModuleProfile, OpenedFilesAreSavedAndReopenedAsARestore) {
  FileKeepingModule module("ModuleDisplay\\RadarDisplay");
  module.openFiles = {"/charts/a.kap", "/charts/b.kap"};
  module.SaveOpenedFiles();
  EXPECT_EQ(Stored(profilePath, kData, "File1"), "/charts/b.kap");
  FileKeepingModule restarted("ModuleDisplay\\RadarDisplay");
  restarted.RestoreOpenedFiles();
  EXPECT_EQ(Texts(restarted.reopened), Texts(module.openFiles));
  EXPECT_TRUE(restarted.reopenedAsRestore);
}

TEST_F(DataModuleProfile, ClearProfileDeletesTheDataSectionAndTheFirstSixDisplaySections) {
  Store(profilePath, kData, "TRAIL_TIME", "30");
  for (const char* section : {"ModuleDisplay\\RadarDisplay_0", "ModuleDisplay\\RadarDisplay_5",
                              "ModuleDisplay\\RadarDisplay_6", "Other"})
    Store(profilePath, section, "Visible", "1");
  FileKeepingModule module("ModuleDisplay\\RadarDisplay");
  module.ClearProfile();
  EXPECT_EQ(Stored(profilePath, kData, "TRAIL_TIME"), std::nullopt);
  EXPECT_EQ(Stored(profilePath, "ModuleDisplay\\RadarDisplay_0", "Visible"), std::nullopt);
  EXPECT_EQ(Stored(profilePath, "ModuleDisplay\\RadarDisplay_5", "Visible"), std::nullopt);
  EXPECT_EQ(Stored(profilePath, "ModuleDisplay\\RadarDisplay_6", "Visible"), "1");
  EXPECT_EQ(Stored(profilePath, "Other", "Visible"), "1");
}

TEST_F(DataModuleProfile, ClearProfileWithoutDisplaySectionTouchesOnlyTheDataSection) {
  Store(profilePath, kData, "TRAIL_TIME", "30");
  Store(profilePath, "_0", "Visible", "1");
  FileKeepingModule module("");
  module.ClearProfile();
  EXPECT_EQ(Stored(profilePath, kData, "TRAIL_TIME"), std::nullopt);
  EXPECT_EQ(Stored(profilePath, "_0", "Visible"), "1");
}

}  // namespace

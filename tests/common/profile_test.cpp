// The module's typed profile helpers with their sentinels, and the counted lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/profile.h"
#include "support/scratch_profile.h"

namespace {

constexpr const char* kData = "ModuleData\\RadarData";
constexpr const char* kDisplay = "ModuleDisplay\\RadarDisplay_0";

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

using ProfileHelpers = ProfileTest;

TEST_F(ProfileHelpers, MissingEntriesAndSentinelValuesReadAsMissingWithTheDefault) {
  int number = 0;
  EXPECT_FALSE(ProfileReadInt(kData, "ABSENT", number, 12));
  EXPECT_EQ(number, 12);
  Store(profilePath_, kData, "INT", "-32768");
  number = 0;
  EXPECT_FALSE(ProfileReadInt(kData, "INT", number, 12));
  EXPECT_EQ(number, 12);
  Store(profilePath_, kData, "TEXT", ProfileMissingText);
  CString text = "before";
  EXPECT_FALSE(ProfileReadString(kData, "TEXT", text, "fallback"));
  EXPECT_EQ(text.str(), "fallback");
  Store(profilePath_, kData, "TEXT", "");
  EXPECT_TRUE(ProfileReadString(kData, "TEXT", text, "fallback"));
  EXPECT_EQ(text.str(), "");
}

TEST_F(ProfileHelpers, FlagsAreStoredAsOneOrZeroAndReadAsNonZero) {
  ProfileWriteBool(kDisplay, "Visible", false);
  EXPECT_EQ(Stored(profilePath_, kDisplay, "Visible"), "0");
  bool flag = true;
  EXPECT_TRUE(ProfileReadBool(kDisplay, "Visible", flag, true));
  EXPECT_FALSE(flag);
  Store(profilePath_, kDisplay, "Visible", "5");
  EXPECT_TRUE(ProfileReadBool(kDisplay, "Visible", flag, false));
  EXPECT_TRUE(flag);
  flag = false;
  EXPECT_FALSE(ProfileReadBool(kDisplay, "Absent", flag, true));
  EXPECT_TRUE(flag);
}

TEST_F(ProfileHelpers, RealsAreStoredAsSixDecimalText) {
  EXPECT_TRUE(ProfileWriteDouble(kData, "VK_SHIFT_DIST", 2.5));
  EXPECT_EQ(Stored(profilePath_, kData, "VK_SHIFT_DIST"), "2.500000");
  double value = 0.0;
  EXPECT_TRUE(ProfileReadDouble(kData, "VK_SHIFT_DIST", value, 9.0));
  EXPECT_EQ(value, 2.5);
  // Text that is no number fails like a missing entry and leaves the default.
  Store(profilePath_, kData, "VK_SHIFT_DIST", "far");
  value = 1.0;
  EXPECT_FALSE(ProfileReadDouble(kData, "VK_SHIFT_DIST", value, 0.0));
  EXPECT_EQ(value, 0.0);
  EXPECT_FALSE(ProfileReadDouble(kData, "ABSENT", value, 3.25));
  EXPECT_EQ(value, 3.25);
}

TEST_F(ProfileHelpers, WithoutApplicationObjectReadsFailAndWritesDoNothing) {
  app_.reset();
  EXPECT_FALSE(ProfileWriteString(kData, "K", "v"));
  ProfileWriteInt(kData, "I", 1);
  EXPECT_FALSE(ProfileWriteDouble(kData, "D", 1.0));
  ProfileWriteStringList(kData, {"a"});
  EXPECT_FALSE(std::filesystem::exists(profilePath_));

  Store(profilePath_, kData, "K", "v");
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
  EXPECT_EQ(Stored(profilePath_, kData, "NbOpenedFiles"), "3");
  EXPECT_EQ(Stored(profilePath_, kData, "File2"), "c");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"a", "b", "c"}));
  ProfileWriteStringList(kData, {"z"});
  EXPECT_EQ(Stored(profilePath_, kData, "NbOpenedFiles"), "1");
  EXPECT_EQ(Stored(profilePath_, kData, "File1"), "b");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"z"}));
  ProfileWriteStringList(kData, {});
  EXPECT_EQ(Stored(profilePath_, kData, "NbOpenedFiles"), "0");
  EXPECT_TRUE(ProfileReadStringList(kData).empty());
}

TEST_F(ProfileHelpers, StringListReadsSkipMissingAndEmptyEntries) {
  ProfileWriteStringList(kData, {"a", "", "c", "d"});
  WritePrivateProfileStringA(kData, "File2", nullptr, profilePath_.c_str());
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"a", "d"}));
}

TEST_F(ProfileHelpers, AHugeOrNegativeStoredCountEndsTheReadWithinSixteenBits) {
  Store(profilePath_, kData, "File0", "first");
  Store(profilePath_, kData, "File32766", "last readable");
  Store(profilePath_, kData, "File32767", "beyond");
  Store(profilePath_, kData, "NbOpenedFiles", "2000000000");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"first", "last readable"}));
  Store(profilePath_, kData, "NbOpenedFiles", "-3");
  EXPECT_TRUE(ProfileReadStringList(kData).empty());
}

TEST_F(ProfileHelpers, AHugeCountStillFindsEveryEntryUpToTheHighestNumberStored) {
  Store(profilePath_, kData, "NbOpenedFiles", "1000000");
  Store(profilePath_, kData, "File0", "first");
  Store(profilePath_, kData, "file9", "any case");
  Store(profilePath_, kData, "File010", "no number as the list writes it");
  EXPECT_EQ(Texts(ProfileReadStringList(kData)), (std::vector<std::string>{"first", "any case"}));
}

TEST_F(ProfileHelpers, KeyListsStoreModuleAndItemAndReadBackValidKeys) {
  ModuleLayerKeyList keys;
  keys.Add(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
  keys.Add(ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"));
  ProfileWriteKeyList(kDisplay, keys);
  EXPECT_EQ(Stored(profilePath_, kDisplay, "NbLayer"), "2");
  std::vector<std::string> stored = {*Stored(profilePath_, kDisplay, "Layer0"), *Stored(profilePath_, kDisplay, "Layer1")};
  EXPECT_EQ(stored, Items(keys));
  EXPECT_EQ(Items(ProfileReadKeyList(kDisplay)), Items(keys));

  Store(profilePath_, kDisplay, "Layer0", "NO_SEPARATOR");
  EXPECT_EQ(Items(ProfileReadKeyList(kDisplay)), std::vector<std::string>{stored[1]});
  Store(profilePath_, kDisplay, "NbLayer", "-32768");
  EXPECT_EQ(ProfileReadKeyList(kDisplay).Count(), 0);
  ModuleLayerKeyList none;
  ProfileWriteKeyList(kDisplay, none);
  EXPECT_EQ(Stored(profilePath_, kDisplay, "NbLayer"), "0");
}

}  // namespace

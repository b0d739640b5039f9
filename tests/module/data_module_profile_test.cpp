// The data module's use of the profile: its opened files and the sections it clears.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/module_data.h"
#include "support/scratch_profile.h"

namespace {

constexpr const char* kData = "ModuleData\\RadarData";

std::vector<std::string> Texts(const std::vector<CString>& list) {
  std::vector<std::string> texts;
  for (const CString& text : list) texts.push_back(text.str());
  return texts;
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
  EXPECT_EQ(Stored(profilePath_, kData, "File1"), "/charts/b.kap");
  FileKeepingModule restarted("ModuleDisplay\\RadarDisplay");
  restarted.RestoreOpenedFiles();
  EXPECT_EQ(Texts(restarted.reopened), Texts(module.openFiles));
  EXPECT_TRUE(restarted.reopenedAsRestore);
}

TEST_F(DataModuleProfile, ClearProfileDeletesTheDataSectionAndTheFirstSixDisplaySections) {
  Store(profilePath_, kData, "TRAIL_TIME", "30");
  for (const char* section : {"ModuleDisplay\\RadarDisplay_0", "ModuleDisplay\\RadarDisplay_5",
                              "ModuleDisplay\\RadarDisplay_6", "Other"})
    Store(profilePath_, section, "Visible", "1");
  FileKeepingModule module("ModuleDisplay\\RadarDisplay");
  module.ClearProfile();
  EXPECT_EQ(Stored(profilePath_, kData, "TRAIL_TIME"), std::nullopt);
  EXPECT_EQ(Stored(profilePath_, "ModuleDisplay\\RadarDisplay_0", "Visible"), std::nullopt);
  EXPECT_EQ(Stored(profilePath_, "ModuleDisplay\\RadarDisplay_5", "Visible"), std::nullopt);
  EXPECT_EQ(Stored(profilePath_, "ModuleDisplay\\RadarDisplay_6", "Visible"), "1");
  EXPECT_EQ(Stored(profilePath_, "Other", "Visible"), "1");
}

TEST_F(DataModuleProfile, ClearProfileWithoutDisplaySectionTouchesOnlyTheDataSection) {
  Store(profilePath_, kData, "TRAIL_TIME", "30");
  Store(profilePath_, "_0", "Visible", "1");
  FileKeepingModule module("");
  module.ClearProfile();
  EXPECT_EQ(Stored(profilePath_, kData, "TRAIL_TIME"), std::nullopt);
  EXPECT_EQ(Stored(profilePath_, "_0", "Visible"), "1");
}

}  // namespace

#pragma once
// A fresh profile file per test, in a scratch folder of its own, chosen as the host's profile; and the
// application object through which the module reaches it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "afxwin.h"
#include "extensions/kernel32.h"
#include "extensions/mfc.h"
#include "winbase.h"
#include "support/scratch_folder.h"

// Each test gets an application object and a profile file of its own.
class ProfileTest : public ::testing::Test {
protected:
  void SetUp() override {
    profilePath_ = folder_.File("profile.ini");
    AfxSetHostProfilePath(profilePath_.c_str());
    app_ = std::make_unique<CWinApp>();
  }
  void TearDown() override {
    app_.reset();
    AfxSetHostProfilePath(nullptr);
  }

  ScratchFolder folder_;
  std::string profilePath_;
  std::unique_ptr<CWinApp> app_;
};

// A value as stored in the profile file, read past the module's helpers.
inline std::optional<std::string> Stored(const std::string& file, const char* section, const char* key) {
  std::string value;
  if (!ReadPrivateProfileValue(section, key, value, file.c_str())) return std::nullopt;
  return value;
}

inline void Store(const std::string& file, const char* section, const char* key, const char* value) {
  ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, file.c_str()));
}

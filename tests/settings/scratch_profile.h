#pragma once
// A fresh profile file per test, in a folder of its own, chosen as the host's profile; and the
// application object through which the module reaches it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "mfc/afxwin.h"
#include "mfc/host_profile.h"

class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorvik-settings-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
  std::filesystem::path path_;
};

// Each test gets an application object and a profile file of its own.
class ProfileTest : public ::testing::Test {
protected:
  void SetUp() override {
    profilePath = folder.File("profile.ini");
    AfxSetHostProfilePath(profilePath.c_str());
    app = std::make_unique<CWinApp>();
  }
  void TearDown() override {
    app.reset();
    AfxSetHostProfilePath(nullptr);
  }

  ScratchFolder folder;
  std::string profilePath;
  std::unique_ptr<CWinApp> app;
};

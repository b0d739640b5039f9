#pragma once
// A scratch host for the trials that run the module against the simulated radar: the radar's
// configuration file, the host profile and the application object, all removed again afterwards.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "afxwin.h"
#include "extensions/mfc.h"

class RadarHostTest : public ::testing::Test {
protected:
  // `radarSettings`: lines of the simulated radar's [Radar] section.
  void StartHost(const std::string& radarSettings) {
    char pattern[] = "/tmp/sorvik-trial-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    const std::filesystem::path config = folder_ / "VKSorVik.ini";
    std::ofstream(config) << "[Radar]\n" << radarSettings;
    setenv("SORVIK_RADAR_CONFIG", config.c_str(), 1);
    AfxSetHostProfilePath((folder_ / "profile.ini").c_str());
  }
  void TearDown() override {
    unsetenv("SORVIK_RADAR_CONFIG");
    AfxSetHostProfilePath(nullptr);
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }

  std::filesystem::path folder_;
  CWinApp app_;
};

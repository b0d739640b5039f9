// A display's visibility and hidden layers, kept in its own profile section.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "display/module_display.h"
#include "kernel32/private_profile.h"
#include "module/module_data_sorvik.h"
#include "settings/scratch_profile.h"

namespace {

constexpr const char* kSection0 = "ModuleDisplay\\RadarDisplay_0";
constexpr const char* kSection3 = "ModuleDisplay\\RadarDisplay_3";

class PlainDisplay : public ModuleDisplay {
public:
  explicit PlainDisplay(ModuleData* data) : ModuleDisplay(data), data_(data) { visible = 1; }
  ModuleData* GetDataModule() override { return data_; }

private:
  ModuleData* data_;
};

ModuleLayerKey Radar(const char* item) { return ModuleLayerKey(kRadarModuleName, item); }

class DisplaySettings : public ProfileTest {
protected:
  std::optional<std::string> Stored(const char* section, const char* key) const {
    std::string value;
    if (!ReadPrivateProfileValue(section, key, value, profilePath.c_str())) return std::nullopt;
    return value;
  }
  void Store(const char* section, const char* key, const char* value) const {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, profilePath.c_str()));
  }

  ModuleDataSorvik data;
};

TEST_F(DisplaySettings, ANeverWrittenSectionGivesAVisibleDisplayWithNothingHidden) {
  PlainDisplay display(&data);
  ModuleLayerKeyList hidden;
  hidden.Add(Radar(kTrailLayerName));
  display.SetHiddenLayers(hidden);
  const std::uint8_t off = 0;
  display.SetVisible(&off);

  display.LoadSettings(0);
  EXPECT_EQ(display.IsVisible(), 1);
  EXPECT_TRUE(display.IsLayerVisible(Radar(kTrailLayerName)));
}

TEST_F(DisplaySettings, SaveWritesTheDisplaysOwnSectionAndLoadReadsItBack) {
  PlainDisplay display(&data);
  ModuleLayerKeyList hidden;
  hidden.Add(Radar(kRingsLayerName));
  hidden.Add(Radar(kTrailLayerName));
  display.SetHiddenLayers(hidden);
  const std::uint8_t strange = 7;  // anything but 1 is stored as hidden
  display.SetVisible(&strange);
  display.SaveSettings(3);

  EXPECT_EQ(Stored(kSection3, "NbLayer"), "2");
  EXPECT_EQ(Stored(kSection3, "Layer0"), "RADAR_MODULE?TRAIL_LAYER");
  EXPECT_EQ(Stored(kSection3, "Layer1"), "RADAR_MODULE?RINGS_LAYER");
  EXPECT_EQ(Stored(kSection3, "Visible"), "0");
  EXPECT_FALSE(Stored(kSection0, "Visible").has_value());

  PlainDisplay restored(&data);
  restored.LoadSettings(3);
  EXPECT_EQ(restored.IsVisible(), 0);
  EXPECT_FALSE(restored.IsLayerVisible(Radar(kTrailLayerName)));
  EXPECT_FALSE(restored.IsLayerVisible(Radar(kRingsLayerName)));
  EXPECT_TRUE(restored.IsLayerVisible(Radar(kRadarLayerName)));
}

TEST_F(DisplaySettings, LoadSkipsMalformedEntriesAndReadsAnyNonZeroVisibleAsShown) {
  Store(kSection0, "NbLayer", "3");
  Store(kSection0, "Layer0", "RADAR_MODULE");
  Store(kSection0, "Layer1", "RADAR_MODULE?TRAIL_LAYER");
  Store(kSection0, "Visible", "5");
  PlainDisplay display(&data);
  display.LoadSettings(0);
  ModuleLayerKeyList hidden;
  display.GetHiddenLayers(hidden);
  EXPECT_EQ(hidden.Count(), 1);
  EXPECT_FALSE(display.IsLayerVisible(Radar(kTrailLayerName)));
  EXPECT_EQ(display.IsVisible(), 1);

  display.SaveSettings(0);
  EXPECT_EQ(Stored(kSection0, "Visible"), "1");
}

TEST_F(DisplaySettings, ADisplayWithoutDataModuleNeitherReadsNorWrites) {
  Store("ModuleDisplay\\RadarDisplay_1", "Visible", "0");
  PlainDisplay orphan(nullptr);
  orphan.LoadSettings(1);
  EXPECT_EQ(orphan.IsVisible(), 1);
  orphan.SaveSettings(2);
  EXPECT_FALSE(Stored("ModuleDisplay\\RadarDisplay_2", "Visible").has_value());
  EXPECT_TRUE(orphan.GetName().IsEmpty());
}

}  // namespace

// The display contract: visibility and hidden layers, copied between displays and kept in the display's
// own profile section.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/radar_identity.h"
#include "display/module_display.h"
#include "extensions/kernel32.h"
#include "module/module_data_sorvik.h"
#include "support/scratch_profile.h"

namespace {

constexpr const char* kSection0 = "ModuleDisplay\\RadarDisplay_0";
constexpr const char* kSection3 = "ModuleDisplay\\RadarDisplay_3";

// A display that adds nothing to the contract but its data module.
class BareDisplay : public ModuleDisplay {
public:
  explicit BareDisplay(ModuleData* data) : ModuleDisplay(data), data_(data) {}
  ModuleData* GetDataModule() override { return data_; }

private:
  ModuleData* data_;
};

// Visible from the start, as the radar display is.
class PlainDisplay : public BareDisplay {
public:
  explicit PlainDisplay(ModuleData* data) : BareDisplay(data) { visible_ = 1; }
};

ModuleLayerKey Radar(const char* item) { return ModuleLayerKey(kRadarModuleName, item); }

ModuleLayerKeyList AllRadarLayers() {
  ModuleLayerKeyList keys;
  for (const char* item : {kRadarLayerName, kTrailLayerName, kRingsLayerName}) keys.Add(Radar(item));
  return keys;
}

TEST(DisplayContract, StartsVisibleOnlyWhenTheDerivedDisplaySaysSoAndTracksLayers) {
  ModuleDataSorvik data;
  BareDisplay display(&data);
  EXPECT_EQ(display.GetName(), "RADAR_MODULE");
  EXPECT_EQ(display.IsVisible(), 0) << "the base leaves visibility to the derived display";
  const std::uint8_t shown = 1;
  display.SetVisible(&shown);
  EXPECT_EQ(display.IsVisible(), 1);
  EXPECT_TRUE(display.IsLayerVisible(Radar(kRingsLayerName)));
  EXPECT_EQ(display.PollRedraw(), 0);
}

TEST(DisplayContract, CopiesSettingsFromTheFirstDisplayOfTheSameName) {
  ModuleDataSorvik data;
  BareDisplay source(&data);
  BareDisplay target(&data);
  BareDisplay orphan(nullptr);
  const std::uint8_t hidden = 0;
  source.SetVisible(&hidden);
  source.SetHiddenLayers(AllRadarLayers());

  ModuleDisplayList list;
  target.CopySettingsFrom(list);  // empty list: nothing changes
  EXPECT_TRUE(target.IsLayerVisible(Radar(kRadarLayerName)));

  list.push_back(&orphan);
  list.push_back(&source);
  EXPECT_EQ(list.FindByName("RADAR_MODULE"), &source);
  EXPECT_EQ(list.FindByName("radar_module"), nullptr);
  target.CopySettingsFrom(list);
  EXPECT_EQ(target.IsVisible(), 0);
  EXPECT_FALSE(target.IsLayerVisible(Radar(kRadarLayerName)));
}

class DisplaySettings : public ProfileTest {
protected:
  std::optional<std::string> Stored(const char* section, const char* key) const {
    std::string value;
    if (!ReadPrivateProfileValue(section, key, value, profilePath_.c_str())) return std::nullopt;
    return value;
  }
  void Store(const char* section, const char* key, const char* value) const {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, profilePath_.c_str()));
  }

  ModuleDataSorvik data_;
};

TEST_F(DisplaySettings, ANeverWrittenSectionGivesAVisibleDisplayWithNothingHidden) {
  PlainDisplay display(&data_);
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
  PlainDisplay display(&data_);
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

  PlainDisplay restored(&data_);
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
  PlainDisplay display(&data_);
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

// The radar settings data source: one layer, one feature made of the radar's state and the module's
// settings, refreshed from the radar, written to it, and kept in the host profile between runs.
#include <gdal_utils.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "common/profile.h"
#include "extensions/kernel32.h"
#include "support/fake_radar.h"
#include "support/quiet_radar.h"
#include "support/scratch_profile.h"
#include "settings/field_access.h"
#include "settings/radar_ogr_data_source.h"

namespace {

constexpr const char* kData = "ModuleData\\RadarData";

using FeaturePtr = std::unique_ptr<OGRFeature, decltype(&OGRFeature::DestroyFeature)>;

FeaturePtr Owned(OGRFeature* feature) { return FeaturePtr(feature, &OGRFeature::DestroyFeature); }

std::optional<int> Integer(OGRFeature* feature, const char* name) {
  int value = 0;
  return GetFieldInteger(feature, &value, name) ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> Real(OGRFeature* feature, const char* name) {
  double value = 0.0;
  return GetFieldDouble(feature, &value, name) ? std::optional<double>(value) : std::nullopt;
}

std::optional<std::string> Stored(const std::string& file, const char* key) {
  std::string value;
  if (!ReadPrivateProfileValue(kData, key, value, file.c_str())) return std::nullopt;
  return value;
}

class RadarDataSource : public ProfileTest {
protected:
  std::unique_ptr<RadarOGRDataSource> Open(bool imo) {
    return std::make_unique<RadarOGRDataSource>(imo, radar_.Accessor());
  }
  OGRLayer* LayerOf(RadarOGRDataSource& source) { return source.GetLayer(0); }

  FakeRadar radar_;
};

TEST_F(RadarDataSource, IsOneNamedLayerFoundByIndexOrByNameIgnoringCase) {
  auto normal = Open(false);
  EXPECT_STREQ(normal->GetName(), "radar_data_source");
  EXPECT_EQ(normal->GetLayerCount(), 1);
  ASSERT_NE(normal->GetLayer(0), nullptr);
  EXPECT_EQ(normal->GetLayer(1), nullptr);
  EXPECT_EQ(normal->GetLayer(-1), nullptr);
  EXPECT_EQ(normal->GetLayerByName("radar_properties"), normal->GetLayer(0));
  EXPECT_EQ(normal->GetLayerByName("RADAR_IMO_PROPERTIES"), nullptr);
  EXPECT_EQ(normal->GetLayerByName(nullptr), nullptr);
  EXPECT_STREQ(normal->GetLayer(0)->GetName(), "RADAR_PROPERTIES");
  EXPECT_FALSE(normal->TestCapability(ODsCCreateLayer));
  EXPECT_FALSE(normal->GetLayer(0)->TestCapability(OLCRandomRead));
  EXPECT_EQ(radar_.stateRequests_, 0) << "construction does not reach the radar";

  auto imo = Open(true);
  EXPECT_STREQ(imo->GetLayer(0)->GetName(), "RADAR_IMO_PROPERTIES");
  EXPECT_EQ(imo->GetLayerByName("radar_imo_properties"), imo->GetLayer(0));
}

TEST_F(RadarDataSource, FeatureJoinsTheRadarStateAndTheModuleDefaults) {
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  EXPECT_EQ(layer->GetFeatureCount(TRUE), 1);
  FeaturePtr feature = Owned(layer->GetFeature(42));
  ASSERT_TRUE(feature);
  EXPECT_EQ(feature->GetFID(), 0);
  EXPECT_EQ(Integer(feature.get(), "RAD_RANGE"), 6);
  const OGRFeatureDefn* definition = layer->GetLayerDefn();
  ASSERT_EQ(definition->GetFieldCount(), 4 + 9);
  const char* moduleFields[] = {"RAD_ECHO_COLOR",     "RAD_REAL_TIME",     "RAD_VK_SHIFT_DIR",
                                "RAD_VK_SHIFT_DIST",  "RAD_VK_TRAIL_COLOR", "RAD_VK_TRAIL_TIME",
                                "RAD_VK_RADAR_TYPE",  "RAD_PRESET",        "RAD_VK_TRAIL_STATUS"};
  for (int i = 0; i < 9; ++i) EXPECT_STREQ(definition->GetFieldDefn(4 + i)->GetNameRef(), moduleFields[i]);
  EXPECT_EQ(definition->GetFieldDefn(4 + 2)->GetType(), OFTReal);
  EXPECT_EQ(Integer(feature.get(), "RAD_ECHO_COLOR"), 3);
  EXPECT_EQ(Integer(feature.get(), "RAD_REAL_TIME"), 0);
  EXPECT_EQ(Real(feature.get(), "RAD_VK_SHIFT_DIR"), 0.0);
  EXPECT_EQ(Real(feature.get(), "RAD_VK_SHIFT_DIST"), 0.0);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_COLOR"), 2);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_TIME"), 15);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_RADAR_TYPE"), 1);
  EXPECT_EQ(Integer(feature.get(), "RAD_PRESET"), 458751);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_STATUS"), 0);
  // Building the feature hands the stored trail time to the radar.
  EXPECT_EQ(radar_.trailTimesReceived_, std::vector<int>{15});
}

TEST_F(RadarDataSource, StoredSettingsAndTheirPresetAreRead) {
  const std::pair<int, int> presets[] = {{0, 174759}, {1, 458751}, {2, 0}};
  for (const auto& [radarType, preset] : presets) {
    ProfileWriteInt(kData, "RADAR_TYPE", radarType);
    ProfileWriteInt(kData, "ECHO_COLOR", ProfileMissingInt);  // reads as missing: default
    ProfileWriteString(kData, "VK_SHIFT_DIST", "not a number");
    ProfileWriteDouble(kData, "VK_SHIFT_DIR", 1.25);
    auto source = Open(false);
    FeaturePtr feature = Owned(LayerOf(*source)->GetFeature(0));
    ASSERT_TRUE(feature);
    EXPECT_EQ(Integer(feature.get(), "RAD_PRESET"), preset) << radarType;
    EXPECT_EQ(Integer(feature.get(), "RAD_ECHO_COLOR"), 3);
    EXPECT_EQ(Real(feature.get(), "RAD_VK_SHIFT_DIST"), 0.0);
    EXPECT_EQ(Real(feature.get(), "RAD_VK_SHIFT_DIR"), 1.25);
  }
}

TEST_F(RadarDataSource, ReadsRefreshTheRadarStateOnlyWhenStale) {
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  Owned(layer->GetFeature(0));
  const int requests = radar_.stateRequests_;
  radar_.range_ = 9;
  EXPECT_EQ(Integer(Owned(layer->GetFeature(0)).get(), "RAD_RANGE"), 6) << "fresh: no new request";
  EXPECT_EQ(radar_.stateRequests_, requests);
  source->GetRadarLayer().SetStale();
  EXPECT_EQ(Integer(Owned(layer->GetFeature(0)).get(), "RAD_RANGE"), 9);
}

TEST_F(RadarDataSource, ReadingOnceThenNullUntilReset) {
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  EXPECT_TRUE(Owned(layer->GetNextFeature()));
  EXPECT_FALSE(Owned(layer->GetNextFeature()));
  layer->ResetReading();
  EXPECT_TRUE(Owned(layer->GetNextFeature()));
}

TEST_F(RadarDataSource, WritesGoToTheRadarAndIntoTheFeature) {
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  FeaturePtr edited = Owned(layer->GetFeature(0));
  const int range = 11;
  const int echoColor = 1;
  const double shift = 0.75;
  SetFieldInteger(edited.get(), &range, "RAD_RANGE");
  SetFieldInteger(edited.get(), &echoColor, "RAD_ECHO_COLOR");
  SetFieldDouble(edited.get(), &shift, "RAD_VK_SHIFT_DIST");
  EXPECT_EQ(layer->SetFeature(edited.get()), OGRERR_NONE);
  EXPECT_EQ(radar_.stateFeaturesReceived_, 1);
  FeaturePtr read = Owned(layer->GetFeature(0));
  EXPECT_EQ(read->GetFID(), 0);
  EXPECT_EQ(Integer(read.get(), "RAD_RANGE"), 11);  // refreshed from the radar: a write makes it stale
  EXPECT_EQ(Integer(read.get(), "RAD_ECHO_COLOR"), 1);
  EXPECT_EQ(Real(read.get(), "RAD_VK_SHIFT_DIST"), 0.75);
}

TEST_F(RadarDataSource, TrailTimeReachesTheRadarOnlyWhenItsLowSixteenBitsAreZeroOrAtLeastFifteen) {
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  FeaturePtr edited = Owned(layer->GetFeature(0));
  radar_.trailTimesReceived_.clear();
  for (int trailTime : {10, 0, 15, 65536, 1, 14, -5, 65535, 65551, 30}) {
    SetFieldInteger(edited.get(), &trailTime, "RAD_VK_TRAIL_TIME");
    EXPECT_EQ(layer->SetFeature(edited.get()), OGRERR_NONE);
  }
  EXPECT_EQ(radar_.trailTimesReceived_, (std::vector<int>{0, 15, 65536, 65551, 30}));
  // Every change reaches the radar's state and the cache, sent on or not.
  EXPECT_EQ(radar_.stateFeaturesReceived_, 10);
  edited->UnsetField(edited->GetFieldIndex("RAD_VK_TRAIL_TIME"));
  EXPECT_EQ(layer->SetFeature(edited.get()), OGRERR_NONE);
  EXPECT_EQ(radar_.trailTimesReceived_.size(), 5u);
}

TEST_F(RadarDataSource, ImoModeShowsNoTrailsButGivesTheRadarTheStoredTrailTime) {
  ProfileWriteInt(kData, "TRAIL_TIME", 30);
  ProfileWriteInt(kData, "TRAIL_COLOR", 1);
  {
    auto source = Open(true);
    OGRLayer* layer = LayerOf(*source);
    FeaturePtr feature = Owned(layer->GetFeature(0));
    ASSERT_TRUE(feature);
    EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_COLOR"), -1);
    EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_TIME"), 0);
    EXPECT_EQ(radar_.trailTimesReceived_, std::vector<int>{30});
    // The preset follows a changed radar type at the next refresh.
    const int radarType = 0;
    SetFieldInteger(feature.get(), &radarType, "RAD_VK_RADAR_TYPE");
    EXPECT_EQ(layer->SetFeature(feature.get()), OGRERR_NONE);
    EXPECT_EQ(Integer(Owned(layer->GetFeature(0)).get(), "RAD_PRESET"), 174759);
  }
  // The IMO stand-ins do not replace the stored trail settings; the rest is stored.
  EXPECT_EQ(Stored(profilePath_, "TRAIL_TIME"), "30");
  EXPECT_EQ(Stored(profilePath_, "TRAIL_COLOR"), "1");
  EXPECT_EQ(Stored(profilePath_, "RADAR_TYPE"), "0");
}

TEST_F(RadarDataSource, WithoutRadarStateThereIsNoFeatureYetWritesStillReachTheRadar) {
  radar_.available_ = false;
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  EXPECT_EQ(layer->GetFeature(0), nullptr);
  ASSERT_NE(layer->GetLayerDefn(), nullptr);
  EXPECT_EQ(layer->GetLayerDefn()->GetFieldCount(), 0);
  EXPECT_EQ(layer->GetFeatureCount(TRUE), 1);
  EXPECT_EQ(layer->SetFeature(nullptr), OGRERR_NONE);
  EXPECT_EQ(radar_.stateFeaturesReceived_, 0);

  FakeRadar other;
  FeaturePtr edit = Owned(other.GetStateFeature(0));
  EXPECT_EQ(layer->SetFeature(edit.get()), OGRERR_NONE);
  EXPECT_EQ(radar_.stateFeaturesReceived_, 1);
  // The radar comes up later: the next read builds the feature.
  radar_.available_ = true;
  EXPECT_TRUE(Owned(layer->GetFeature(0)));
  EXPECT_EQ(layer->GetLayerDefn()->GetFieldCount(), 4 + 9);
}

// A radar that gives its state only after a first read failed: the feature built then carries that
// state at once, not only after the radar's next change.
TEST_F(RadarDataSource, ARadarComingUpLaterGivesItsStateWithTheFirstFeature) {
  radar_.available_ = false;
  auto source = Open(false);
  OGRLayer* layer = LayerOf(*source);
  EXPECT_EQ(layer->GetFeature(0), nullptr);
  radar_.available_ = true;
  FeaturePtr feature = Owned(layer->GetFeature(0));
  ASSERT_TRUE(feature);
  EXPECT_EQ(Integer(feature.get(), "RAD_RANGE"), 6);
  EXPECT_EQ(Integer(feature.get(), "RAD_TXSTBY"), 2);
}

// Settings written through the layer are in the profile file once the data source is gone, and a
// data source built later (here in a second process) reads them back.
TEST_F(RadarDataSource, SettingsSurviveARestart) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FakeRadar childRadar;
    auto source = std::make_unique<RadarOGRDataSource>(false, childRadar.Accessor());
    OGRLayer* layer = source->GetLayer(0);
    FeaturePtr feature = Owned(layer->GetFeature(0));
    const int echoColor = 2, realTime = 1, trailColor = 0, trailTime = 45, radarType = 0, trailStatus = 3;
    const double shiftDirection = 1.5, shiftDistance = 0.125;
    bool ok = feature != nullptr;
    ok = ok && SetFieldInteger(feature.get(), &echoColor, "RAD_ECHO_COLOR") &&
         SetFieldInteger(feature.get(), &realTime, "RAD_REAL_TIME") &&
         SetFieldInteger(feature.get(), &trailColor, "RAD_VK_TRAIL_COLOR") &&
         SetFieldInteger(feature.get(), &trailTime, "RAD_VK_TRAIL_TIME") &&
         SetFieldInteger(feature.get(), &radarType, "RAD_VK_RADAR_TYPE") &&
         SetFieldInteger(feature.get(), &trailStatus, "RAD_VK_TRAIL_STATUS") &&
         SetFieldDouble(feature.get(), &shiftDirection, "RAD_VK_SHIFT_DIR") &&
         SetFieldDouble(feature.get(), &shiftDistance, "RAD_VK_SHIFT_DIST");
    ok = ok && layer->SetFeature(feature.get()) == OGRERR_NONE;
    feature.reset();
    source.reset();
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_EQ(Stored(profilePath_, "TRAIL_TIME"), "45");
  EXPECT_EQ(Stored(profilePath_, "VK_SHIFT_DIST"), "0.125000");
  EXPECT_EQ(Stored(profilePath_, "PRESET"), std::nullopt);
  auto source = Open(false);
  FeaturePtr feature = Owned(source->GetLayer(0)->GetFeature(0));
  ASSERT_TRUE(feature);
  EXPECT_EQ(Integer(feature.get(), "RAD_ECHO_COLOR"), 2);
  EXPECT_EQ(Integer(feature.get(), "RAD_REAL_TIME"), 1);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_COLOR"), 0);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_TIME"), 45);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_RADAR_TYPE"), 0);
  EXPECT_EQ(Integer(feature.get(), "RAD_PRESET"), 174759);
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_STATUS"), 3);
  EXPECT_EQ(Real(feature.get(), "RAD_VK_SHIFT_DIR"), 1.5);
  EXPECT_EQ(Real(feature.get(), "RAD_VK_SHIFT_DIST"), 0.125);
  EXPECT_EQ(radar_.trailTimesReceived_, std::vector<int>{45});
}

TEST_F(RadarDataSource, AFeatureHandedOutOutlivesItsLayer) {
  auto source = Open(false);
  FeaturePtr feature = Owned(source->GetLayer(0)->GetFeature(0));
  source.reset();
  EXPECT_EQ(Integer(feature.get(), "RAD_VK_TRAIL_TIME"), 15);
  EXPECT_STREQ(feature->GetDefnRef()->GetFieldDefn(feature->GetFieldCount() - 1)->GetNameRef(), "RAD_VK_TRAIL_STATUS");
}

// GDAL's own translation reads the data source like any other and writes the feature out.
TEST_F(RadarDataSource, GdalVectorTranslationCopiesTheRadarLayer) {
  GDALAllRegister();
  ProfileWriteInt(kData, "ECHO_COLOR", 1);
  auto source = Open(false);
  GDALDatasetH sources[] = {GDALDataset::ToHandle(source.get())};
  const char* arguments[] = {"-f", "GeoJSON", nullptr};
  GDALVectorTranslateOptions* options = GDALVectorTranslateOptionsNew(const_cast<char**>(arguments), nullptr);
  ASSERT_NE(options, nullptr);
  const char* target = "/vsimem/radar_settings.geojson";
  int usageError = 0;
  GDALDatasetH copy = GDALVectorTranslate(target, nullptr, 1, sources, options, &usageError);
  GDALVectorTranslateOptionsFree(options);
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(usageError, 0);
  GDALClose(copy);

  GDALDataset* reopened = GDALDataset::Open(target, GDAL_OF_VECTOR);
  ASSERT_NE(reopened, nullptr);
  OGRLayer* layer = reopened->GetLayerByName("RADAR_PROPERTIES");
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->GetFeatureCount(TRUE), 1);
  FeaturePtr feature = Owned(layer->GetNextFeature());
  ASSERT_TRUE(feature);
  EXPECT_EQ(feature->GetFieldAsInteger("RAD_ECHO_COLOR"), 1);
  EXPECT_EQ(feature->GetFieldAsInteger("RAD_RANGE"), 6);
  EXPECT_EQ(feature->GetFieldAsInteger("RAD_PRESET"), 458751);
  EXPECT_EQ(feature->GetFieldAsDouble("RAD_VK_SHIFT_DIST"), 0.0);
  EXPECT_GE(feature->GetFieldIndex("RAD_VK_TRAIL_STATUS"), 0);
  GDALClose(reopened);
  VSIUnlink(target);
}

// A radar that may be called from several threads at once: a fixed state, nothing recorded.
class SteadyRadar final : public QuietRadar {
public:
  SteadyRadar() : definition_(new OGRFeatureDefn("RADAR_STATE")) {
    definition_->Reference();
    definition_->SetGeomType(wkbNone);
    OGRFieldDefn range("RAD_RANGE", OFTInteger);
    definition_->AddFieldDefn(&range);
  }
  ~SteadyRadar() { definition_->Release(); }
  SteadyRadar(const SteadyRadar&) = delete;
  SteadyRadar& operator=(const SteadyRadar&) = delete;

  OGRFeature* GetStateFeature(int) override {
    OGRFeature* feature = OGRFeature::CreateFeature(definition_);
    feature->SetField("RAD_RANGE", 6);
    return feature;
  }
  int SetStateFeature(OGRFeature*, int) override { return 0; }

private:
  OGRFeatureDefn* definition_;
};

// A host may read and change the settings from two of its threads while a change notice marks the layer
// stale: each operation sees the feature whole (run under the thread sanitizer too).
TEST_F(RadarDataSource, TwoHostThreadsReadAndChangeTheSettingsAtOnce) {
  SteadyRadar radar;
  RadarOGRDataSource source(false, [&radar] { return static_cast<SorVikRadar*>(&radar); });
  RadarOGRLayer& layer = source.GetRadarLayer();
  const auto panel = [&layer](int colour) {
    for (int i = 0; i < 300; ++i) {
      FeaturePtr feature = Owned(layer.GetFeature(0));
      ASSERT_TRUE(feature);
      SetFieldInteger(feature.get(), &colour, "RAD_ECHO_COLOR");
      EXPECT_EQ(layer.SetFeature(feature.get()), OGRERR_NONE);
      layer.SetStale();
    }
  };
  panel(1);  // GDAL's layer sets itself up on the first write, unguarded: once, before the threads
  std::thread other(panel, 2);
  panel(3);
  other.join();
  const std::optional<int> colour = Integer(Owned(layer.GetFeature(0)).get(), "RAD_ECHO_COLOR");
  EXPECT_TRUE(colour == 2 || colour == 3) << colour.value_or(-1);
}

}  // namespace

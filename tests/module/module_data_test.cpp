#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <memory>

#include "common/radar_identity.h"
#include "display/module_display.h"
#include "module/module_data_sorvik.h"
#include "settings/radar_ogr_data_source.h"
#include "support/fake_radar.h"
#include "support/scratch_profile.h"

namespace {

// A display of the kind the host attaches: it only records what the data module asks of it.
class RecordingDisplay : public ModuleDisplay {
public:
  explicit RecordingDisplay(ModuleData* data) : ModuleDisplay(data), data_(data) {}
  ModuleData* GetDataModule() override { return data_; }
  void Reserved() override { ++reservedCalls_; }
  int reservedCalls_ = 0;

private:
  ModuleData* data_;
};

// A data module that offers file types, for the extension matching of the base class.
class ChartLikeData : public ModuleDataSorvik {
public:
  std::vector<FileTypeDescriptor> GetFileTypes() override {
    FileTypeDescriptor type;
    type.extensions = {"kap", "S57"};
    return {type};
  }
};

ModuleLayerKeyList AllRadarLayers() {
  ModuleLayerKeyList keys;
  for (const char* item : {kRadarLayerName, kTrailLayerName, kRingsLayerName})
    keys.Add(ModuleLayerKey(kRadarModuleName, item));
  return keys;
}

TEST(DataModuleBase, ADisplayOutlivingItsDataModuleForgetsIt) {
  auto data = std::make_unique<ModuleDataSorvik>();
  RecordingDisplay display(data.get());
  ASSERT_EQ(display.GetSubject(), data.get());
  data.reset();
  // Its destructor must not detach through the freed data module.
  EXPECT_EQ(display.GetSubject(), nullptr);
}

TEST(RadarDataModule, AnswersItsIdentity) {
  ModuleDataSorvik data;
  EXPECT_EQ(data.GetName(), "RADAR_MODULE");
  const ProfileSections sections = data.GetProfileSections();
  EXPECT_EQ(sections.dataSection, "ModuleData\\RadarData");
  EXPECT_EQ(sections.displaySection, "ModuleDisplay\\RadarDisplay");
  EXPECT_TRUE(data.GetFileTypes().empty());
  EXPECT_TRUE(data.IsReady());
  EXPECT_TRUE(data.GetOpenedFiles().empty());
  EXPECT_EQ(data.GetExtraLayers().Count(), 0);
  EXPECT_FALSE(data.GetImoMode());
  EXPECT_EQ(data.GetDataSource(), nullptr);
}

TEST(RadarDataModule, ListsItsThreeLayersInKeyOrder) {
  ModuleDataSorvik data;
  ModuleLayerKeyList layers = data.GetLayers();
  std::vector<CString> items;
  ModuleLayerKey key;
  layers.Rewind();
  while (layers.Next(key)) {
    EXPECT_EQ(key.GetModule(), "RADAR_MODULE");
    items.push_back(key.GetItem());
  }
  EXPECT_EQ(items, (std::vector<CString>{"TRAIL_LAYER", "RINGS_LAYER", "RADAR_LAYER"}));
}

TEST(RadarDataModule, OpensNoFilesAndReportsNothing) {
  ModuleDataSorvik data;
  for (const char* path : {"echo.kap", "/charts/area.S57", "noextension", "", ".", "dir.d/file"})
    EXPECT_FALSE(data.IsFileSupported(path)) << path;
  const FileOpenReport report = data.OpenFiles({"a.kap"}, true);
  EXPECT_EQ(report.status, 0);
  EXPECT_TRUE(report.dates.empty());
  EXPECT_EQ(report.dates.First(), NoDate);
  EXPECT_EQ(report.position, PosType());
  EXPECT_EQ(report.scale, 0);
  EXPECT_TRUE(report.extents.empty());
}

TEST(DataModuleBase, MatchesFileExtensionsIgnoringCase) {
  ChartLikeData data;
  EXPECT_TRUE(data.IsFileSupported("C:\\charts\\BA1234.KAP"));
  EXPECT_TRUE(data.IsFileSupported("/charts/cell.s57"));
  EXPECT_FALSE(data.IsFileSupported("/charts/cell.s57.bak"));
  EXPECT_FALSE(data.IsFileSupported("/charts.kap/readme"));
  // A path without any dot is taken whole as the extension.
  EXPECT_TRUE(data.IsFileSupported("kap"));
}

TEST(DataModuleBase, ShowLayersUnhidesOnlyThisModulesLayersInEveryDisplay) {
  ModuleDataSorvik data;
  RecordingDisplay first(&data);
  RecordingDisplay second(&data);
  first.SetHiddenLayers(AllRadarLayers());
  ModuleLayerKeyList chartKey;
  chartKey.Add(ModuleLayerKey("CHART_MODULE", "DEPTH_LAYER"));
  second.SetHiddenLayers(chartKey);

  ModuleLayerKeyList request;
  request.Add(ModuleLayerKey(kRadarModuleName, kTrailLayerName));
  request.Add(ModuleLayerKey("CHART_MODULE", "DEPTH_LAYER"));
  EXPECT_TRUE(data.ShowLayers(request));

  EXPECT_TRUE(first.IsLayerVisible(ModuleLayerKey(kRadarModuleName, kTrailLayerName)));
  EXPECT_FALSE(first.IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRadarLayerName)));
  // Another module's key in the request is not this module's to show.
  EXPECT_FALSE(second.IsLayerVisible(ModuleLayerKey("CHART_MODULE", "DEPTH_LAYER")));
}

TEST(DataModuleBase, ShowLayersWithForeignKeysOnlyChangesNothing) {
  ModuleDataSorvik data;
  RecordingDisplay display(&data);
  display.SetHiddenLayers(AllRadarLayers());
  ModuleLayerKeyList request;
  request.Add(ModuleLayerKey("CHART_MODULE", "RADAR_LAYER"));
  EXPECT_TRUE(data.ShowLayers(request));
  ModuleLayerKeyList hidden;
  display.GetHiddenLayers(hidden);
  EXPECT_EQ(hidden.Count(), 3);
}

TEST(DataModuleBase, NotifyDisplaysReachesEveryAttachedDisplayOnce) {
  ModuleDataSorvik data;
  RecordingDisplay first(&data);
  {
    RecordingDisplay gone(&data);
  }
  RecordingDisplay second(&data);
  data.NotifyDisplays(nullptr);
  EXPECT_EQ(first.reservedCalls_, 1);
  EXPECT_EQ(second.reservedCalls_, 1);
  EXPECT_EQ(data.AttachedDisplays().size(), 2u);
}

using RadarDataModuleLayers = ProfileTest;

TEST_F(RadarDataModuleLayers, ListsNoLayersYetReachesTheRadarLayerByIndexAndName) {
  FakeRadar radar;
  ModuleDataSorvik module;
  module.SetDataSource(new RadarOGRDataSource(false, radar.Accessor()));
  EXPECT_EQ(module.GetOGRLayerCount(), 0);
  OGRLayer* layer = module.GetOGRLayer(0);
  ASSERT_NE(layer, nullptr);
  EXPECT_STREQ(layer->GetName(), "RADAR_PROPERTIES");
  EXPECT_EQ(module.GetOGRLayerByName("RADAR_PROPERTIES"), layer);
  EXPECT_EQ(module.GetOGRLayer(1), nullptr);
}

}  // namespace

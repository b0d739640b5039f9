#include <gtest/gtest.h>

#include <memory>

#include "display/module_display.h"
#include "module/module_data_sorvik.h"
#include "module/observer.h"

namespace {

// A display of the kind the host attaches: it only records what the data module asks of it.
class RecordingDisplay : public ModuleDisplay {
public:
  explicit RecordingDisplay(ModuleData* data) : ModuleDisplay(data), data_(data) {}
  ModuleData* GetDataModule() override { return data_; }
  void Reserved() override { ++reservedCalls; }
  int reservedCalls = 0;

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

TEST(SubjectObserver, AttachesOnceAndDetachesOnlyWhatItHas) {
  Subject<ModuleNotification> subject;
  Observer<ModuleNotification> observer(nullptr);
  EXPECT_TRUE(subject.Attach(&observer));
  EXPECT_FALSE(subject.Attach(&observer));
  EXPECT_EQ(subject.Observers().size(), 1u);
  EXPECT_TRUE(subject.Detach(&observer));
  EXPECT_FALSE(subject.Detach(&observer));
  EXPECT_TRUE(subject.Observers().empty());
}

TEST(SubjectObserver, ObserverJoinsAndLeavesWithItsLifetime) {
  Subject<ModuleNotification> subject;
  {
    Observer<ModuleNotification> first(&subject);
    Observer<ModuleNotification> second(&subject);
    EXPECT_EQ(subject.Observers(), (std::vector<Observer<ModuleNotification>*>{&first, &second}));
  }
  EXPECT_TRUE(subject.Observers().empty());
}

TEST(SubjectObserver, DisplayOutlivingItsDataModuleForgetsIt) {
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
  EXPECT_EQ(first.reservedCalls, 1);
  EXPECT_EQ(second.reservedCalls, 1);
  EXPECT_EQ(data.AttachedDisplays().size(), 2u);
}

TEST(DisplayContract, StartsVisibleOnlyWhenTheDerivedDisplaySaysSoAndTracksLayers) {
  ModuleDataSorvik data;
  RecordingDisplay display(&data);
  EXPECT_EQ(display.GetName(), "RADAR_MODULE");
  EXPECT_EQ(display.IsVisible(), 0) << "the base leaves visibility to the derived display";
  const std::uint8_t shown = 1;
  display.SetVisible(&shown);
  EXPECT_EQ(display.IsVisible(), 1);
  EXPECT_TRUE(display.IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRingsLayerName)));
  EXPECT_EQ(display.PollRedraw(), 0);
}

TEST(DisplayContract, CopiesSettingsFromTheFirstDisplayOfTheSameName) {
  ModuleDataSorvik data;
  RecordingDisplay source(&data);
  RecordingDisplay target(&data);
  RecordingDisplay orphan(nullptr);
  const std::uint8_t hidden = 0;
  source.SetVisible(&hidden);
  source.SetHiddenLayers(AllRadarLayers());

  ModuleDisplayList list;
  target.CopySettingsFrom(list);  // empty list: nothing changes
  EXPECT_TRUE(target.IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRadarLayerName)));

  list.push_back(&orphan);
  list.push_back(&source);
  EXPECT_EQ(list.FindByName("RADAR_MODULE"), &source);
  EXPECT_EQ(list.FindByName("radar_module"), nullptr);
  target.CopySettingsFrom(list);
  EXPECT_EQ(target.IsVisible(), 0);
  EXPECT_FALSE(target.IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRadarLayerName)));
}

}  // namespace

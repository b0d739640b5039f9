#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "common/layer_keys.h"
#include "module/module_data.h"
#include "viewer/module_host/module_loader.h"

namespace {

TEST(LoadedRadarModule, HandsOutARadarDataModuleThroughItsExportedFactory) {
  LoadedModule module(SORVIK_MODULE_FILE);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  std::unique_ptr<ModuleData> data(module.CreateModuleData());
  ASSERT_NE(data, nullptr);

  EXPECT_EQ(data->GetName(), "RADAR_MODULE");
  const ProfileSections sections = data->GetProfileSections();
  EXPECT_EQ(sections.dataSection, "ModuleData\\RadarData");
  EXPECT_EQ(sections.displaySection, "ModuleDisplay\\RadarDisplay");
  EXPECT_TRUE(data->GetFileTypes().empty());
  EXPECT_TRUE(data->IsReady());
  EXPECT_FALSE(data->IsFileSupported("echo.rec"));

  ModuleLayerKeyList layers = data->GetLayers();
  std::vector<CString> texts;
  ModuleLayerKey key;
  layers.Rewind();
  while (layers.Next(key)) {
    CString text;
    ToText(key, text);
    texts.push_back(text);
  }
  EXPECT_EQ(texts, (std::vector<CString>{"RADAR_MODULE?TRAIL_LAYER", "RADAR_MODULE?RINGS_LAYER",
                                         "RADAR_MODULE?RADAR_LAYER"}));
}

TEST(LoadedRadarModule, EachCallMakesANewDataModule) {
  LoadedModule module(SORVIK_MODULE_FILE);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  std::unique_ptr<ModuleData> first(module.CreateModuleData());
  std::unique_ptr<ModuleData> second(module.CreateModuleData());
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first.get(), second.get());
}

TEST(LoadedRadarModule, ReportsAMissingFile) {
  LoadedModule module("/nonexistent/libsorvik_radar.so");
  EXPECT_FALSE(module.IsLoaded());
  EXPECT_FALSE(module.Error().empty());
  EXPECT_EQ(module.CreateModuleData(), nullptr);
}

// The module exports its factory and keeps everything else to itself; the linker's own section markers
// are the only other names in its dynamic symbol table.
TEST(LoadedRadarModule, ExportsOnlyItsFactory) {
  const std::string command = std::string("nm -D --defined-only ") + SORVIK_MODULE_FILE;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> exported;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe.get())) {
    char type = 0;
    char name[1000] = {0};
    if (std::sscanf(line, "%*s %c %999s", &type, name) == 2) exported.insert(name);
  }
  EXPECT_EQ(exported.count("CreateModuleData"), 1u);
  for (const std::string& name : exported) {
    static const std::set<std::string> linkerMarkers = {"_init", "_fini", "__bss_start", "_edata", "_end"};
    if (name == "CreateModuleData" || linkerMarkers.count(name)) continue;
    ADD_FAILURE() << "unexpected exported symbol " << name;
  }
}

}  // namespace

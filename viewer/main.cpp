// The stand-in host: loads the radar module the way a chart host does and reports what it offers.
#include <cstdio>
#include <memory>

#include "common/layer_keys.h"
#include "module/module_data.h"
#include "viewer/module_loader.h"

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : DefaultRadarModulePath();
  LoadedModule module(path);
  if (!module.IsLoaded()) {
    std::fprintf(stderr, "cannot load the radar module: %s\n", module.Error().c_str());
    return 1;
  }
  std::unique_ptr<ModuleData> data(module.CreateModuleData());
  if (!data) {
    std::fprintf(stderr, "the radar module created no data module\n");
    return 1;
  }

  const ProfileSections sections = data->GetProfileSections();
  std::printf("module: %s\n", data->GetName().GetString());
  std::printf("data section: %s\n", sections.dataSection.GetString());
  std::printf("display section: %s\n", sections.displaySection.GetString());
  std::printf("file types: %zu\n", data->GetFileTypes().size());
  ModuleLayerKeyList layers = data->GetLayers();
  layers.Rewind();
  ModuleLayerKey key;
  while (layers.Next(key)) {
    CString text;
    ToText(key, text);
    std::printf("layer: %s\n", text.GetString());
  }
  data->Terminate();
  return 0;
}

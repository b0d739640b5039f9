#include "module/module_data_sorvik.h"

#include "common/radar_identity.h"

ModuleDisplay* ModuleDataSorvik::CreateDisplay() {
  // The radar display module is not part of this build; the host gets no display.
  return nullptr;
}

std::vector<FileTypeDescriptor> ModuleDataSorvik::GetFileTypes() { return {}; }

const CString& ModuleDataSorvik::GetName() {
  static const CString name(kRadarModuleName);
  return name;
}

ProfileSections ModuleDataSorvik::GetProfileSections() { return {kRadarDataSection, kRadarDisplaySection}; }

ModuleDataSorvik::~ModuleDataSorvik() = default;

bool ModuleDataSorvik::IsReady() { return true; }

ModuleLayerKeyList ModuleDataSorvik::GetLayers() {
  ModuleLayerKeyList layers;
  layers.Add(ModuleLayerKey(kRadarModuleName, kRadarLayerName));
  layers.Add(ModuleLayerKey(kRadarModuleName, kTrailLayerName));
  layers.Add(ModuleLayerKey(kRadarModuleName, kRingsLayerName));
  return layers;
}

std::int32_t ModuleDataSorvik::GetOGRLayerCount() { return 0; }

#include "module/module_data_sorvik.h"

#include <new>

#include "common/radar_identity.h"
#include "display/module_display_sorvik.h"

ModuleDisplay* ModuleDataSorvik::CreateDisplay() { return new (std::nothrow) ModuleDisplaySorvik(this); }

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

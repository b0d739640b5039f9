#pragma once
// The radar's data module: its identity towards the host and, through its OGRable side, the radar
// settings data source it owns.
#include <cstdint>

#include "module/module_data.h"
#include "settings/ograble_mono_data_source.h"

class NavigationSource;
class HostSink;

class ModuleDataSorvik : public ModuleData, public OGRableMonoDataSource {
public:
  ModuleDataSorvik() = default;

  ModuleDisplay* CreateDisplay() override;
  std::vector<FileTypeDescriptor> GetFileTypes() override;
  const CString& GetName() override;
  ProfileSections GetProfileSections() override;
  ~ModuleDataSorvik() override;
  bool IsReady() override;
  ModuleLayerKeyList GetLayers() override;

  // The host lists no layers through the OGRable count; the radar layer is still reached by index 0
  // or by name.
  std::int32_t GetOGRLayerCount() override;

  bool GetImoMode() const { return ImoMode != 0; }

protected:
  NavigationSource* navigationSource = nullptr;
  HostSink* sink = nullptr;
  std::uint8_t ImoMode = 0;
};

// Identity texts of the radar module.
inline constexpr const char* kRadarModuleName = "RADAR_MODULE";
inline constexpr const char* kRadarLayerName = "RADAR_LAYER";
inline constexpr const char* kTrailLayerName = "TRAIL_LAYER";
inline constexpr const char* kRingsLayerName = "RINGS_LAYER";
inline constexpr const char* kRadarDataSection = "ModuleData\\RadarData";
inline constexpr const char* kRadarDisplaySection = "ModuleDisplay\\RadarDisplay";

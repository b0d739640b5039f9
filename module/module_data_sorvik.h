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
  // Removes both radar callbacks and empties the sweep store.
  void Terminate() override;
  // Tells the host sink, once per burst of radar state changes, that the radar's property set changed.
  void Refresh() override;
  ModuleLayerKeyList GetLayers() override;

  // Opens the radar service for the presentation mode, fixes the echo geometry, registers the sweep and
  // change callbacks and creates the radar settings data source. On an open failure the user sees the
  // host's message and nothing is connected. The navigation source and sink are kept either way.
  // True when the radar opened.
  virtual bool Init(NavigationSource* navigation, HostSink* hostSink, bool imoMode);
  // The current range in nautical miles; 0 when it cannot be read.
  virtual double GetRange();

  NavigationSource* GetNavigationSource() const { return navigationSource; }

  // The host lists no layers through the OGRable count; the radar layer is still reached by index 0
  // or by name.
  std::int32_t GetOGRLayerCount() override;

  bool GetImoMode() const { return ImoMode != 0; }

protected:
  NavigationSource* navigationSource = nullptr;
  HostSink* sink = nullptr;
  std::uint8_t ImoMode = 0;

private:
  // Whether Init registered the callbacks, so that Terminate removes only what was registered.
  bool callbacksRegistered = false;
};

// Identity texts of the radar module.
inline constexpr const char* kRadarModuleName = "RADAR_MODULE";
inline constexpr const char* kRadarLayerName = "RADAR_LAYER";
inline constexpr const char* kTrailLayerName = "TRAIL_LAYER";
inline constexpr const char* kRingsLayerName = "RINGS_LAYER";
inline constexpr const char* kRadarDataSection = "ModuleData\\RadarData";
inline constexpr const char* kRadarDisplaySection = "ModuleDisplay\\RadarDisplay";

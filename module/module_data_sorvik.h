#pragma once
// The radar's data module: its identity towards the host and, through its OGRable side, the radar
// settings data source it owns.
#include <cstdint>

#include "module/module_data.h"
#include "settings/radar_accessor.h"
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
  // The radar layers are marked stale before the notice goes out, so that the sink reads the new state.
  void Refresh() override;
  ModuleLayerKeyList GetLayers() override;

  // Opens the radar service for the presentation mode, fixes the echo geometry, registers the sweep and
  // change callbacks and creates the radar settings data source. On an open failure the user sees the
  // host's message and nothing is connected. The navigation source and sink are kept either way.
  // True when the radar opened.
  virtual bool Init(NavigationSource* navigation, HostSink* hostSink, bool imoMode);
  // The current range in nautical miles; 0 when it cannot be read.
  virtual double GetRange();
  // What a successful Init leaves, for a radar reached through `radar` instead of the radar service: the
  // settings data source over it, the mode, the navigation source and the sink. Nothing is opened or
  // registered and the echo geometry is not fixed; for hosts that drive a radar of their own.
  void ConnectSettings(NavigationSource* navigation, HostSink* hostSink, bool imoMode, RadarAccessor radar);

  NavigationSource* GetNavigationSource() const { return navigationSource_; }

  // The host lists no layers through the OGRable count; the radar layer is still reached by index 0
  // or by name.
  std::int32_t GetOGRLayerCount() override;

  bool GetImoMode() const { return imoMode_ != 0; }

private:
  NavigationSource* navigationSource_ = nullptr;
  HostSink* sink_ = nullptr;
  std::uint8_t imoMode_ = 0;
  // Whether Init registered the callbacks, so that Terminate removes only what was registered.
  bool callbacksRegistered_ = false;
};

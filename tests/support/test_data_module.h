#pragma once
// The radar's data module as a successful Init leaves it, over a radar of the test's own.
#include <memory>

#include "module/module_data_sorvik.h"
#include "settings/field_access.h"
#include "settings/radar_settings_fields.h"
#include "settings/radar_ogr_data_source.h"
#include "settings/radar_ogr_layer.h"

inline std::unique_ptr<ModuleDataSorvik> TestDataModule(NavigationSource* navigation, RadarAccessor radar,
                                                        bool imoMode = false, HostSink* sink = nullptr) {
  auto data = std::make_unique<ModuleDataSorvik>();
  data->ConnectSettings(navigation, sink, imoMode, std::move(radar));
  return data;
}

// The radar's state is read anew at the next look at the settings, as after a change notice.
inline void MarkRadarChanged(ModuleDataSorvik& data) {
  if (auto* source = dynamic_cast<RadarOGRDataSource*>(data.GetDataSource())) source->GetRadarLayer().SetStale();
}

// Real-time presentation switched on as a host's panel does it; false when the settings refuse it.
inline bool SwitchRealTimeOn(ModuleDataSorvik& data) {
  OGRLayer* layer = data.GetOGRLayer(0);
  OGRFeature* feature = layer->GetFeature(0);
  const int realTime = 1;
  SetFieldInteger(feature, &realTime, kFieldRealTime);
  const OGRErr written = layer->SetFeature(feature);
  OGRFeature::DestroyFeature(feature);
  return written == OGRERR_NONE;
}

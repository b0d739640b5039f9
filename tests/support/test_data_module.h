#pragma once
// The radar's data module as a successful Init leaves it, over a radar of the test's own.
#include <memory>

#include "module/module_data_sorvik.h"
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

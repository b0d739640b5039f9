#include "settings/ograble_multi_data_source.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstdint>

#include "settings/geometry_layers.h"

OGRLayer* OGRableMultiDataSource::GetOGRLayer(std::int32_t index) {
  for (OGRDataSource* source : dataSources_) {
    if (!source || index < 0) return nullptr;
    const int count = GetGeometryLayerCount(source);
    if (index < count) return GetGeometryLayer(index, source);
    index -= count;
  }
  return nullptr;
}

OGRLayer* OGRableMultiDataSource::GetOGRLayerByName(const CString& name) {
  for (OGRDataSource* source : dataSources_)
    if (source)
      if (OGRLayer* layer = source->GetLayerByName(name)) return layer;
  return nullptr;
}

std::int32_t OGRableMultiDataSource::GetOGRLayerCount() {
  std::int64_t count = 0;
  for (OGRDataSource* source : dataSources_) count += GetGeometryLayerCount(source);
  return static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
}

std::intptr_t OGRableMultiDataSource::ExtraQuery(std::intptr_t, std::intptr_t) { return 0; }

OGRableMultiDataSource::~OGRableMultiDataSource() {
  for (OGRDataSource* source : dataSources_) delete source;
  dataSources_.clear();
}

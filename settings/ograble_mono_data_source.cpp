#include "settings/ograble_mono_data_source.h"

#include <ogrsf_frmts.h>

#include "settings/geometry_layers.h"

OGRLayer* OGRableMonoDataSource::GetOGRLayer(std::int32_t index) {
  if (!dataSource || index < 0 || index >= GetGeometryLayerCount(dataSource)) return nullptr;
  return GetGeometryLayer(index, dataSource);
}

OGRLayer* OGRableMonoDataSource::GetOGRLayerByName(const CString& name) {
  return dataSource ? dataSource->GetLayerByName(name) : nullptr;
}

std::int32_t OGRableMonoDataSource::GetOGRLayerCount() { return GetGeometryLayerCount(dataSource); }

std::intptr_t OGRableMonoDataSource::ExtraQuery(std::intptr_t, std::intptr_t) { return 0; }

OGRableMonoDataSource::~OGRableMonoDataSource() { delete dataSource; }

void OGRableMonoDataSource::SetDataSource(OGRDataSource* source) {
  if (source == dataSource) return;
  delete dataSource;
  dataSource = source;
}

#include "settings/ograble_mono_data_source.h"

#include <ogrsf_frmts.h>

#include "settings/geometry_layers.h"

OGRLayer* OGRableMonoDataSource::GetOGRLayer(std::int32_t index) {
  if (!dataSource_ || index < 0 || index >= GetGeometryLayerCount(dataSource_)) return nullptr;
  return GetGeometryLayer(index, dataSource_);
}

OGRLayer* OGRableMonoDataSource::GetOGRLayerByName(const CString& name) {
  return dataSource_ ? dataSource_->GetLayerByName(name) : nullptr;
}

std::int32_t OGRableMonoDataSource::GetOGRLayerCount() { return GetGeometryLayerCount(dataSource_); }

std::intptr_t OGRableMonoDataSource::ExtraQuery(std::intptr_t, std::intptr_t) { return 0; }

OGRableMonoDataSource::~OGRableMonoDataSource() { delete dataSource_; }

void OGRableMonoDataSource::SetDataSource(OGRDataSource* source) {
  if (source == dataSource_) return;
  delete dataSource_;
  dataSource_ = source;
}

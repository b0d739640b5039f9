#include "settings/radar_ogr_data_source.h"

#include <utility>

#include "common/radar_identity.h"

RadarOGRDataSource::RadarOGRDataSource(bool imo, RadarAccessor radar)
    : layer_(std::move(radar)), imoMode_(imo ? 1 : 0) {
  SetDescription(kRadarDataSourceName);
  layer_.SetLayerName(imo ? kRadarImoPropertiesLayerName : kRadarPropertiesLayerName);
  layer_.SetImoMode(imo);
}

RadarOGRDataSource::~RadarOGRDataSource() = default;

const char* RadarOGRDataSource::GetName() { return kRadarDataSourceName; }

int RadarOGRDataSource::GetLayerCount() { return 1; }

OGRLayer* RadarOGRDataSource::GetLayer(int index) { return index == 0 ? &layer_ : nullptr; }

OGRLayer* RadarOGRDataSource::GetLayerByName(const char* name) {
  return name && layer_.GetLayerName().CompareNoCase(name) == 0 ? &layer_ : nullptr;
}

int RadarOGRDataSource::TestCapability(const char*) { return FALSE; }

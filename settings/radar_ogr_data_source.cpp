#include "settings/radar_ogr_data_source.h"

#include <utility>

RadarOGRDataSource::RadarOGRDataSource(bool imo, RadarAccessor radar)
    : layer(std::move(radar)), imoMode(imo ? 1 : 0) {
  SetDescription(kRadarDataSourceName);
  layer.SetLayerName(imo ? kRadarLayerImo : kRadarLayerNormal);
  SetImoMode();
}

RadarOGRDataSource::~RadarOGRDataSource() = default;

const char* RadarOGRDataSource::GetName() { return kRadarDataSourceName; }

int RadarOGRDataSource::GetLayerCount() { return 1; }

OGRLayer* RadarOGRDataSource::GetLayer(int index) { return index == 0 ? &layer : nullptr; }

OGRLayer* RadarOGRDataSource::GetLayerByName(const char* name) {
  return name && layer.GetLayerName().CompareNoCase(name) == 0 ? &layer : nullptr;
}

int RadarOGRDataSource::TestCapability(const char*) { return FALSE; }

void RadarOGRDataSource::SetImoMode() { layer.SetImoMode(imoMode != 0); }

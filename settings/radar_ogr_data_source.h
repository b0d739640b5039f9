#pragma once
// The radar settings as an OGR data source: "radar_data_source", with the one radar layer, named
// "RADAR_PROPERTIES", or "RADAR_IMO_PROPERTIES" in the type-approved (IMO) presentation.
#include <ogrsf_frmts.h>

#include <cstdint>

#include "settings/radar_accessor.h"
#include "settings/radar_ogr_layer.h"

class RadarOGRDataSource : public OGRDataSource {
public:
  // Names the layer for the mode and hands the mode on to it. Does not reach the radar: the layer asks
  // `radar` for it on first use.
  RadarOGRDataSource(bool imoMode, RadarAccessor radar);
  // Destroying the layer writes the module's settings to the profile.
  ~RadarOGRDataSource() override;

  const char* GetName() override;
  int GetLayerCount() override;
  OGRLayer* GetLayer(int index) override;
  // Names compare ignoring case.
  OGRLayer* GetLayerByName(const char* name) override;
  int TestCapability(const char* capability) override;

  bool GetImoMode() const { return imoMode_ != 0; }
  RadarOGRLayer& GetRadarLayer() { return layer_; }

private:
  RadarOGRLayer layer_;
  std::uint8_t imoMode_;
};

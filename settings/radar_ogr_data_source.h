#pragma once
// The radar settings as an OGR data source: "radar_data_source", with the one radar layer, named
// "RADAR_PROPERTIES", or "RADAR_IMO_PROPERTIES" in the type-approved (IMO) presentation.
#include <ogrsf_frmts.h>

#include <cstdint>

#include "settings/radar_accessor.h"
#include "settings/radar_ogr_layer.h"

inline constexpr const char* kRadarDataSourceName = "radar_data_source";

class RadarOGRDataSource : public OGRDataSource {
public:
  // Does not reach the radar: the layer asks `radar` for it on first use.
  explicit RadarOGRDataSource(bool imoMode, RadarAccessor radar = LoadedServiceRadar);
  // Destroying the layer writes the module's settings to the profile.
  ~RadarOGRDataSource() override;

  const char* GetName() override;
  int GetLayerCount() override;
  OGRLayer* GetLayer(int index) override;
  // Names compare ignoring case.
  OGRLayer* GetLayerByName(const char* name) override;
  int TestCapability(const char* capability) override;

  // Hands the IMO flag given at construction on to the layer.
  void SetImoMode();
  bool GetImoMode() const { return imoMode != 0; }
  RadarOGRLayer& GetRadarLayer() { return layer; }

private:
  RadarOGRLayer layer;
  std::uint8_t imoMode;
};

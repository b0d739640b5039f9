#pragma once
// The one layer of the radar settings data source: one feature (identifier 0) holding the radar
// service's state followed by the module's own settings. Reads refresh the service's part when the
// radar signalled a change; writes go to the radar service and into the cached feature. The module's
// settings are read from the profile when the feature is first built and written back when the layer
// is destroyed. The host may read and change the settings from more than one of its threads: each
// operation on the feature holds the layer's lock for its own duration.
#include <ogrsf_frmts.h>

#include <cstdint>
#include <mutex>

#include "afxstr.h"
#include "settings/radar_accessor.h"

class RadarOGRLayer : public OGRLayer {
public:
  explicit RadarOGRLayer(RadarAccessor radar);
  ~RadarOGRLayer() override;

  CString GetLayerName() const { return name_; }
  void SetLayerName(const CString& layerName) { name_ = layerName; }
  void SetImoMode(bool imo) { imoMode_ = imo ? 1 : 0; }
  // The radar's state changed: the next read fetches it anew.
  void SetStale();

  const char* GetName() override;
  OGRGeometry* GetSpatialFilter() override;
  // The layer has no geometry to filter: filters are ignored.
  void SetSpatialFilter(OGRGeometry* filter) override;
  void SetSpatialFilter(int geometryField, OGRGeometry* filter) override;
  void ResetReading() override;
  // The feature once after each ResetReading, then null.
  OGRFeature* GetNextFeature() override;
  // A copy of the feature, owned by the caller; null when the radar gives no state. The identifier is
  // not looked at: the layer has one feature.
  OGRFeature* GetFeature(GIntBig featureId) override;
  // The feature's definition. While the radar gives no state it is an empty one, never null: GDAL's
  // own layer code (SetFeature among it) reads the definition without testing it.
  OGRFeatureDefn* GetLayerDefn() override;
  OGRSpatialReference* GetSpatialRef() override;
  GIntBig GetFeatureCount(int force) override;
  int TestCapability(const char* capability) override;

protected:
  // Sends the feature to the radar service (and its trail time, when the radar takes it) and keeps it.
  OGRErr ISetFeature(OGRFeature* feature) override;

private:
  // The unlocked body of GetFeature.
  OGRFeature* CopyOfFeature();
  void BuildCachedFeature();
  void RefreshFromRadar();
  void CopyIntoCache(const OGRFeature* feature);
  bool IsImoLayerName() const;

  std::mutex mutex_;
  std::int32_t readFlag_ = 0;
  CString name_;
  OGRFeature* cachedFeature_ = nullptr;
  std::uint8_t stale_ = 1;
  std::uint8_t imoMode_ = 0;
  RadarAccessor radar_;
  // The cached feature's definition, referenced by the layer for its whole life.
  OGRFeatureDefn* definition_ = nullptr;
  // Stands in for the definition until the feature is built.
  OGRFeatureDefn* emptyDefinition_ = nullptr;
};

// Trail times the radar service is given: those whose low 16 bits, as a signed number, are 0 (trails
// off) or at least 15.
bool IsForwardedTrailTime(int trailTime);

#include "settings/radar_ogr_layer.h"

#include <utility>

#include "common/radar_identity.h"
#include "host/radar_fields.h"
#include "host/radar_service.h"
#include "settings/field_access.h"
#include "settings/radar_settings_fields.h"

namespace {

constexpr int kMinimumForwardedTrailTime = 15;

SorVikRadar* AskRadar(const RadarAccessor& radar) { return radar ? radar() : nullptr; }

}  // namespace

bool IsForwardedTrailTime(int trailTime) {
  const auto low = static_cast<std::int16_t>(static_cast<std::uint32_t>(trailTime) & 0xFFFFu);
  return low == 0 || low >= kMinimumForwardedTrailTime;
}

RadarOGRLayer::RadarOGRLayer(RadarAccessor radar) : radar_(std::move(radar)) {}

bool RadarOGRLayer::IsImoLayerName() const { return name_.Compare(kRadarPropertiesLayerName) != 0; }

RadarOGRLayer::~RadarOGRLayer() {
  if (cachedFeature_) {
    SaveModuleSettings(cachedFeature_, IsImoLayerName());
    OGRFeature::DestroyFeature(cachedFeature_);
  }
  if (definition_) definition_->Release();
  if (emptyDefinition_) emptyDefinition_->Release();
}

void RadarOGRLayer::BuildCachedFeature() {
  SorVikRadar* radar = AskRadar(radar_);
  OGRFeature* service = radar ? radar->GetStateFeature(0) : nullptr;
  if (!service) return;
  OGRFeatureDefn* serviceDefinition = service->GetDefnRef();
  if (!serviceDefinition) {
    OGRFeature::DestroyFeature(service);
    return;
  }
  OGRFeatureDefn* definition = serviceDefinition->Clone();
  AppendModuleFields(*definition);
  definition->Reference();
  OGRFeature* feature = OGRFeature::CreateFeature(definition);
  if (!feature) {
    definition->Release();
    OGRFeature::DestroyFeature(service);
    return;
  }
  feature->SetFID(0);
  const int storedTrailTime = LoadModuleSettings(feature);
  if (IsImoLayerName()) ApplyImoOverrides(feature);
  // The radar's own trail time follows the stored one, in IMO mode too.
  int serviceTrailTime = storedTrailTime;
  if (SetFieldInteger(service, &serviceTrailTime, kFieldServiceTrailTime))
    if (SorVikRadar* current = AskRadar(radar_)) current->SetTrailTime(serviceTrailTime);
  OGRFeature::DestroyFeature(service);
  cachedFeature_ = feature;
  definition_ = definition;
  // The radar's part of the new feature is still unset, even when an earlier read without a feature
  // cleared the flag: the next read fetches it.
  stale_ = 1;
}

void RadarOGRLayer::CopyIntoCache(const OGRFeature* feature) {
  // Fields are matched by name, so the module's own fields keep their values under a service feature.
  cachedFeature_->SetFrom(feature, TRUE);
  cachedFeature_->SetFID(0);
}

void RadarOGRLayer::RefreshFromRadar() {
  SorVikRadar* radar = AskRadar(radar_);
  if (OGRFeature* service = radar ? radar->GetStateFeature(0) : nullptr) {
    if (cachedFeature_) CopyIntoCache(service);
    OGRFeature::DestroyFeature(service);
  }
  int radarType = 0;
  if (imoMode_ && GetFieldInteger(cachedFeature_, &radarType, kFieldRadarType)) {
    const int preset = PresetForRadarType(radarType);
    SetFieldInteger(cachedFeature_, &preset, kFieldPreset);
  }
  stale_ = 0;
}

const char* RadarOGRLayer::GetName() { return name_.GetString(); }

OGRGeometry* RadarOGRLayer::GetSpatialFilter() { return nullptr; }

void RadarOGRLayer::SetSpatialFilter(OGRGeometry*) {}

void RadarOGRLayer::SetSpatialFilter(int, OGRGeometry*) {}

void RadarOGRLayer::SetStale() {
  std::lock_guard lock(mutex_);
  stale_ = 1;
}

void RadarOGRLayer::ResetReading() {
  std::lock_guard lock(mutex_);
  readFlag_ = 0;
}

OGRFeature* RadarOGRLayer::GetNextFeature() {
  std::lock_guard lock(mutex_);
  if (readFlag_) return nullptr;
  readFlag_ = 1;
  return CopyOfFeature();
}

OGRFeature* RadarOGRLayer::GetFeature(GIntBig) {
  std::lock_guard lock(mutex_);
  return CopyOfFeature();
}

OGRFeature* RadarOGRLayer::CopyOfFeature() {
  if (!cachedFeature_) BuildCachedFeature();
  if (stale_ || !cachedFeature_) RefreshFromRadar();
  return cachedFeature_ ? cachedFeature_->Clone() : nullptr;
}

OGRErr RadarOGRLayer::ISetFeature(OGRFeature* feature) {
  std::lock_guard lock(mutex_);
  if (!cachedFeature_) BuildCachedFeature();
  if (!feature) return OGRERR_NONE;
  int trailTime = 0;
  if (GetFieldInteger(feature, &trailTime, kFieldTrailTime) && IsForwardedTrailTime(trailTime))
    if (SorVikRadar* radar = AskRadar(radar_)) radar->SetTrailTime(trailTime);
  if (SorVikRadar* radar = AskRadar(radar_)) radar->SetStateFeature(feature, 0);
  stale_ = 1;
  if (cachedFeature_) CopyIntoCache(feature);
  return OGRERR_NONE;
}

OGRFeatureDefn* RadarOGRLayer::GetLayerDefn() {
  std::lock_guard lock(mutex_);
  if (!cachedFeature_) BuildCachedFeature();
  if (cachedFeature_) return cachedFeature_->GetDefnRef();
  if (!emptyDefinition_) {
    emptyDefinition_ = new OGRFeatureDefn(name_);
    emptyDefinition_->SetGeomType(wkbNone);
    emptyDefinition_->Reference();
  }
  return emptyDefinition_;
}

OGRSpatialReference* RadarOGRLayer::GetSpatialRef() { return nullptr; }

GIntBig RadarOGRLayer::GetFeatureCount(int) { return 1; }

int RadarOGRLayer::TestCapability(const char*) { return FALSE; }

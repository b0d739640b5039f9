#include "viewer/module_host/radar_settings_view.h"

#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>
#include <optional>

#include "common/units.h"
#include "host/radar_fields.h"
#include "settings/radar_settings_fields.h"
#include "viewer/module_host/radar_feature_fields.h"

namespace {
std::optional<double> AsReal(const std::optional<int>& value) {
  return value ? std::optional<double>(*value) : std::nullopt;
}
}  // namespace

int ReadRadarInteger(OGRLayer* layer, const char* name, int fallback) {
  const RadarFeaturePtr feature = RadarFeatureOf(layer);
  if (!feature) return fallback;
  const int index = feature->GetFieldIndex(name);
  if (index < 0 || !feature->IsFieldSetAndNotNull(index)) return fallback;
  return feature->GetFieldAsInteger(index);
}

std::string ReadRadarText(OGRLayer* layer, const char* name) {
  const RadarFeaturePtr feature = RadarFeatureOf(layer);
  if (!feature) return {};
  const int index = feature->GetFieldIndex(name);
  if (index < 0 || !feature->IsFieldSetAndNotNull(index)) return {};
  return feature->GetFieldAsString(index);
}

bool WriteRadarInteger(OGRLayer* layer, const char* name, int value) {
  const RadarFeaturePtr feature = RadarFeatureOf(layer);
  if (!feature) return false;
  const int index = feature->GetFieldIndex(name);
  if (index < 0) return false;
  feature->SetField(index, value);
  return layer->SetFeature(feature.get()) == OGRERR_NONE;
}

std::string DescribeRadarFeature(OGRLayer* layer) {
  const RadarFeaturePtr feature = RadarFeatureOf(layer);
  if (!feature) return "(no radar feature)";
  std::string text;
  for (int index = 0; index < feature->GetFieldCount(); ++index) {
    if (!feature->IsFieldSetAndNotNull(index)) continue;
    if (!text.empty()) text += ' ';
    text += feature->GetFieldDefnRef(index)->GetNameRef();
    text += '=';
    text += feature->GetFieldAsString(index);
  }
  return text;
}

bool ApplyRadarSettings(OGRLayer* layer, const RadarSettingsRequest& request, std::string& error) {
  const bool asked = request.rangeIndex || request.echoColour || request.trailColour || request.trailTime ||
                     request.realTime || request.shiftBearingDegrees || request.shiftDistanceMiles;
  if (!asked) return true;
  const RadarFeaturePtr feature = RadarFeatureOf(layer);
  if (!feature) {
    error = "the radar offers no settings feature";
    return false;
  }
  std::optional<double> realTime;
  if (request.realTime) realTime = *request.realTime ? 1.0 : 0.0;
  std::optional<double> shiftBearing, shiftDistance;
  // The display takes the shift's direction in radians from the bow and its distance in radians of arc.
  if (request.shiftBearingDegrees) shiftBearing = *request.shiftBearingDegrees * kRadiansPerDegree;
  if (request.shiftDistanceMiles) shiftDistance = *request.shiftDistanceMiles * kRadiansPerNauticalMile;
  const bool set = SetRadarFieldIfGiven(*feature, kFieldRange, AsReal(request.rangeIndex), error) &&
                   SetRadarFieldIfGiven(*feature, kFieldEchoColor, AsReal(request.echoColour), error) &&
                   SetRadarFieldIfGiven(*feature, kFieldTrailColor, AsReal(request.trailColour), error) &&
                   SetRadarFieldIfGiven(*feature, kFieldTrailTime, AsReal(request.trailTime), error) &&
                   SetRadarFieldIfGiven(*feature, kFieldRealTime, realTime, error) &&
                   SetRadarFieldIfGiven(*feature, kFieldShiftDirection, shiftBearing, error) &&
                   SetRadarFieldIfGiven(*feature, kFieldShiftDistance, shiftDistance, error);
  if (!set) return false;
  // The panel does not touch the transmitter: sent back as read, an "off" read during the warm-up would
  // ask the radar to power down.
  const int transmitter = feature->GetFieldIndex(kFieldTransmit);
  if (transmitter >= 0) feature->UnsetField(transmitter);
  if (layer->SetFeature(feature.get()) != OGRERR_NONE) {
    error = "the radar refused its new settings";
    return false;
  }
  return true;
}

#include "viewer/module_host/radar_settings_view.h"

#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>
#include <optional>

namespace {
struct FeatureDeleter {
  void operator()(OGRFeature* feature) const { OGRFeature::DestroyFeature(feature); }
};
using FeaturePtr = std::unique_ptr<OGRFeature, FeatureDeleter>;

FeaturePtr RadarFeature(OGRLayer* layer) { return FeaturePtr(layer ? layer->GetFeature(0) : nullptr); }

constexpr double kDegree = M_PI / 180.0;
// A nautical mile is one minute of arc.
constexpr double kMileInRadians = kDegree / 60.0;

bool SetIfAsked(OGRFeature& feature, const char* name, const std::optional<double>& value, std::string& error) {
  if (!value) return true;
  const int index = feature.GetFieldIndex(name);
  if (index < 0) {
    error = std::string("the radar feature has no field ") + name;
    return false;
  }
  if (feature.GetFieldDefnRef(index)->GetType() == OFTReal)
    feature.SetField(index, *value);
  else
    feature.SetField(index, static_cast<int>(std::lround(*value)));
  return true;
}

std::optional<double> AsReal(const std::optional<int>& value) {
  return value ? std::optional<double>(*value) : std::nullopt;
}
}  // namespace

int ReadRadarInteger(OGRLayer* layer, const char* name, int fallback) {
  const FeaturePtr feature = RadarFeature(layer);
  if (!feature) return fallback;
  const int index = feature->GetFieldIndex(name);
  if (index < 0 || !feature->IsFieldSetAndNotNull(index)) return fallback;
  return feature->GetFieldAsInteger(index);
}

std::string ReadRadarText(OGRLayer* layer, const char* name) {
  const FeaturePtr feature = RadarFeature(layer);
  if (!feature) return {};
  const int index = feature->GetFieldIndex(name);
  if (index < 0 || !feature->IsFieldSetAndNotNull(index)) return {};
  return feature->GetFieldAsString(index);
}

bool WriteRadarInteger(OGRLayer* layer, const char* name, int value) {
  const FeaturePtr feature = RadarFeature(layer);
  if (!feature) return false;
  const int index = feature->GetFieldIndex(name);
  if (index < 0) return false;
  feature->SetField(index, value);
  return layer->SetFeature(feature.get()) == OGRERR_NONE;
}

std::string DescribeRadarFeature(OGRLayer* layer) {
  const FeaturePtr feature = RadarFeature(layer);
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
  const FeaturePtr feature = RadarFeature(layer);
  if (!feature) {
    error = "the radar offers no settings feature";
    return false;
  }
  std::optional<double> realTime;
  if (request.realTime) realTime = *request.realTime ? 1.0 : 0.0;
  std::optional<double> shiftBearing, shiftDistance;
  // The display takes the shift's direction in radians from the bow and its distance in radians of arc.
  if (request.shiftBearingDegrees) shiftBearing = *request.shiftBearingDegrees * kDegree;
  if (request.shiftDistanceMiles) shiftDistance = *request.shiftDistanceMiles * kMileInRadians;
  const bool set = SetIfAsked(*feature, "RAD_RANGE", AsReal(request.rangeIndex), error) &&
                   SetIfAsked(*feature, "RAD_ECHO_COLOR", AsReal(request.echoColour), error) &&
                   SetIfAsked(*feature, "RAD_VK_TRAIL_COLOR", AsReal(request.trailColour), error) &&
                   SetIfAsked(*feature, "RAD_VK_TRAIL_TIME", AsReal(request.trailTime), error) &&
                   SetIfAsked(*feature, "RAD_REAL_TIME", realTime, error) &&
                   SetIfAsked(*feature, "RAD_VK_SHIFT_DIR", shiftBearing, error) &&
                   SetIfAsked(*feature, "RAD_VK_SHIFT_DIST", shiftDistance, error);
  if (!set) return false;
  // The panel does not touch the transmitter: sent back as read, an "off" read during the warm-up would
  // ask the radar to power down.
  const int transmitter = feature->GetFieldIndex("RAD_TXSTBY");
  if (transmitter >= 0) feature->UnsetField(transmitter);
  if (layer->SetFeature(feature.get()) != OGRERR_NONE) {
    error = "the radar refused its new settings";
    return false;
  }
  return true;
}

#include "viewer/live/radar_state.h"

#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "common/units.h"
#include "host/radar_fields.h"
#include "settings/radar_settings_fields.h"

namespace {

std::optional<double> Field(OGRFeature& feature, const char* name) {
  const int index = feature.GetFieldIndex(name);
  if (index < 0 || !feature.IsFieldSetAndNotNull(index)) return std::nullopt;
  return feature.GetFieldAsDouble(index);
}

int Integer(OGRFeature& feature, const char* name, int fallback) {
  const std::optional<double> value = Field(feature, name);
  return value ? static_cast<int>(std::lround(*value)) : fallback;
}

const char* StateName(int transmitter, int warmupLeft) {
  switch (transmitter) {
    case kTransmitting: return "transmit";
    case kTransmitStandby: return "standby";
    case kTransmitOff: return warmupLeft > 0 ? "warming up" : "off";
    case kTransmitNotAvailable: return "not available";
    default: return "unknown";
  }
}

}  // namespace

std::string RangeText(double rangeMiles, int unitCode) {
  if (!(rangeMiles > 0.0) || !std::isfinite(rangeMiles)) return {};
  double value = rangeMiles;
  const char* unit = "NM";
  if (unitCode == kRangeUnitKilometres) {
    value = rangeMiles * kMetresPerNauticalMile / 1000.0;
    unit = "km";
  } else if (unitCode == kRangeUnitStatuteMiles) {
    value = rangeMiles * kMetresPerNauticalMile / kMetresPerStatuteMile;
    unit = "mi";
  }
  char text[48];
  // Three decimals at most (".125"), none that are zero.
  std::snprintf(text, sizeof text, "%.3f", std::round(value * 1000.0) / 1000.0);
  std::string number = text;
  number.erase(number.find_last_not_of('0') + 1);
  if (!number.empty() && number.back() == '.') number.pop_back();
  return number + " " + unit;
}

LiveRadarState RadarStateOf(OGRFeature& feature, double rangeMiles) {
  LiveRadarState state;
  const int transmitter = Integer(feature, kFieldTransmit, -1);
  const int warmup = Integer(feature, kFieldWarmUpTime, 0);
  state.state = StateName(transmitter, warmup);
  state.transmitting = transmitter == kTransmitting;
  if (state.state == "warming up") state.warmupSeconds = warmup;
  state.rangeIndex = Integer(feature, kFieldRange, -1);
  state.range = RangeText(rangeMiles, Integer(feature, kFieldRangeUnit, kRangeUnitNauticalMiles));
  state.echoColour = Integer(feature, kFieldEchoColor, -1);
  state.trailColour = Integer(feature, kFieldTrailColor, -1);
  state.trailTime = Integer(feature, kFieldTrailTime, -1);
  state.realTime = Integer(feature, kFieldRealTime, 0) != 0;
  state.shiftBearingDegrees = Field(feature, kFieldShiftDirection).value_or(0.0) / kRadiansPerDegree;
  state.shiftDistanceMiles = Field(feature, kFieldShiftDistance).value_or(0.0) / kRadiansPerNauticalMile;
  return state;
}

LiveRadarState ReadRadarState(OGRLayer* layer, double rangeMiles) {
  OGRFeature* feature = layer ? layer->GetFeature(0) : nullptr;
  if (!feature) return {};
  const LiveRadarState state = RadarStateOf(*feature, rangeMiles);
  OGRFeature::DestroyFeature(feature);
  return state;
}

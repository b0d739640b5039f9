#include "viewer/live/radar_edit.h"

#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>

#include "common/units.h"
#include "host/radar_fields.h"
#include "settings/radar_settings_fields.h"
#include "viewer/live/radar_state.h"
#include "viewer/module_host/radar_feature_fields.h"

namespace {

template <typename Value>
std::optional<double> Real(const std::optional<Value>& value) {
  return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

void UnsetUnlessNamed(OGRFeature& feature, const char* name, bool named) {
  const int index = feature.GetFieldIndex(name);
  if (!named && index >= 0) feature.UnsetField(index);
}

}  // namespace

std::optional<std::string> ApplyRadarEdit(OGRLayer* layer, const RadarEdit& edit) {
  const RadarFeaturePtr feature = RadarFeatureOf(layer);
  if (!feature) return "the radar offers no settings";
  const LiveRadarState before = RadarStateOf(*feature, 0.0);

  std::optional<int> range = edit.rangeIndex;
  if (edit.rangeStep) {
    const int stepped = before.rangeIndex + *edit.rangeStep;
    if (before.rangeIndex < 0 || stepped < 0 || stepped >= kRangeIndexCount)
      return *edit.rangeStep > 0 ? "the radar has no longer range" : "the radar has no shorter range";
    range = stepped;
  }
  std::optional<int> transmitter;
  if (edit.transmit) transmitter = *edit.transmit ? kTransmitting : kTransmitStandby;
  std::optional<double> realTime;
  if (edit.realTime) realTime = *edit.realTime ? 1.0 : 0.0;
  std::optional<double> shiftBearing, shiftDistance;
  // The display takes the shift's direction in radians from the bow and its distance in radians of arc.
  if (edit.shiftBearingDegrees) shiftBearing = *edit.shiftBearingDegrees * kRadiansPerDegree;
  if (edit.shiftDistanceMiles) shiftDistance = *edit.shiftDistanceMiles * kRadiansPerNauticalMile;

  UnsetUnlessNamed(*feature, kFieldTransmit, transmitter.has_value());
  UnsetUnlessNamed(*feature, kFieldRange, range.has_value());
  std::string missing;
  const bool set = SetRadarFieldIfGiven(*feature, kFieldTransmit, Real(transmitter), missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldRange, Real(range), missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldEchoColor, Real(edit.echoColour), missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldTrailColor, Real(edit.trailColour), missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldTrailTime, Real(edit.trailTime), missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldRealTime, realTime, missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldShiftDirection, shiftBearing, missing) &&
                   SetRadarFieldIfGiven(*feature, kFieldShiftDistance, shiftDistance, missing);
  if (!set) return missing;
  if (layer->SetFeature(feature.get()) != OGRERR_NONE) return "the radar refused the settings";

  // What the radar made of it: the module keeps its own fields as given, the radar may refuse its own.
  const RadarFeaturePtr after = RadarFeatureOf(layer);
  if (!after) return "the radar offers no settings";
  const LiveRadarState now = RadarStateOf(*after, 0.0);
  if (range && now.rangeIndex != *range) return "the radar refused range index " + std::to_string(*range);
  if (edit.transmit) {
    const bool warming = now.state == "warming up";
    if (*edit.transmit && !now.transmitting && !warming)
      return "the radar refused to transmit (it is " + now.state + ")";
    if (!*edit.transmit && now.transmitting) return "the radar refused to stand by";
  }
  return std::nullopt;
}

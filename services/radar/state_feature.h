#pragma once
// The radar's state as an OGR feature: one integer field per published value, and the spoke stream's
// name as text. The definition is built
// once and shared by every feature handed out; each feature holds its own reference to it.
#include "services/radar/radar_control.h"

class OGRFeature;
class OGRFeatureDefn;

namespace radarsim {

// Fields the host reads. Those marked settable are taken from a feature handed back; the others only
// report (trail time changes through its own call, so that a feature read earlier cannot undo it).
constexpr const char* kFieldRange = "RAD_RANGE";             // settable: index into the range table
constexpr const char* kFieldRangeUnit = "RAD_RANGE_UNIT";    // settable: 0 NM, 1 km, 2 statute miles
constexpr const char* kFieldPulse = "RAD_PULSE";             // settable: 0 short, 1 medium, 2 long
constexpr const char* kFieldAntenna = "RAD_ANTENNA";
constexpr const char* kFieldModel = "RAD_MODEL";
constexpr const char* kFieldSourceStatus = "RAD_SOURCE_STATUS";
constexpr const char* kFieldWarmupTime = "RAD_WARMUPTIME";
constexpr const char* kFieldWatchmanTime = "RAD_WATCHMAN_TIME";  // settable: standby seconds, 0 off
constexpr const char* kFieldWatchmanLeft = "RAD_WATCHMAN_LEFT";
constexpr const char* kFieldTransmit = "RAD_TXSTBY";             // settable: 0 off, 1 standby, 2 tx, 3 sleep
constexpr const char* kFieldTrailTime = "RAD_TRAIL_TIME";
constexpr const char* kFieldGain = "RAD_GAIN";  // settable, 0 to 100, as the three below
constexpr const char* kFieldSea = "RAD_SEA";
constexpr const char* kFieldRain = "RAD_RAIN";
constexpr const char* kFieldTune = "RAD_TUNE";
constexpr const char* kFieldRotationRate = "RAD_ROTATION_RATE";
constexpr const char* kFieldLostSpokes = "RAD_LOST_SPOKES";
constexpr const char* kFieldSpokeStream = "RAD_SPOKE_STREAM";  // text, set when the spokes come from a stream

class StateFeatureSchema {
public:
  StateFeatureSchema();
  ~StateFeatureSchema();
  StateFeatureSchema(const StateFeatureSchema&) = delete;
  StateFeatureSchema& operator=(const StateFeatureSchema&) = delete;

  // A new feature (the caller destroys it) with every field set from `state`; null when out of memory.
  OGRFeature* NewFeature(const RadarState& state) const;

private:
  OGRFeatureDefn* definition_;
};

// The settable values that `feature` carries: fields missing from its definition, unset, null or not
// of an integer type are left out.
StateRequest ReadStateRequest(const OGRFeature& feature);

}  // namespace radarsim

#pragma once
// The radar's state as an OGR feature: one integer field per published value, and the spoke stream's
// name as text. The definition is built once and shared by every feature handed out; each feature holds
// its own reference to it.
#include "host/radar_fields.h"
#include "services/radar/radar_control.h"

class OGRFeature;
class OGRFeatureDefn;

namespace radarsim {

// The fields (host/radar_fields.h) the host reads. Range, range unit, pulse, watchman time, transmitter
// state, gain, sea, rain and tune are taken from a feature handed back; the others only report (trail
// time changes through its own call, so that a feature read earlier cannot undo it).

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

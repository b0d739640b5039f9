#pragma once
// Reading and setting fields of the radar's settings feature, as a host's property panel does: the
// command line's settings and the live page's edits both go through here.
#include <memory>
#include <optional>
#include <string>

class OGRFeature;
class OGRLayer;

struct RadarFeatureDeleter {
  void operator()(OGRFeature* feature) const;
};
using RadarFeaturePtr = std::unique_ptr<OGRFeature, RadarFeatureDeleter>;

// The layer's one feature (a clone the caller owns), or null when there is no layer or feature.
RadarFeaturePtr RadarFeatureOf(OGRLayer* layer);

// Sets field `name` to `value`, rounded for an integer field; nothing when `value` is empty. False, with
// `error` saying so, when the feature has no such field.
bool SetRadarFieldIfGiven(OGRFeature& feature, const char* name, const std::optional<double>& value,
                          std::string& error);

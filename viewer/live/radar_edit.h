#pragma once
// A browser's radar edit applied as a host's property panel applies one: the feature fetched with
// GetFeature, the named fields edited on the clone, the clone handed back with SetFeature. The
// transmitter and the range go back unset unless they are named, so that a value read a moment ago
// (an "off" during the warm-up) is not sent back as a request.
#include <optional>
#include <string>

#include "viewer/live/live_commands.h"

class OGRLayer;

// Applies `edit`; answers what the radar refused (read back from the feature afterwards), or nothing
// when every named setting took.
std::optional<std::string> ApplyRadarEdit(OGRLayer* layer, const RadarEdit& edit);

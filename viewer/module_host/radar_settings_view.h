#pragma once
// What a host's property panel does with the radar feature: read fields, and hand back an edited clone.
#include <string>

#include "viewer/view_options.h"

class OGRLayer;

// The integer field `name` of the layer's feature; `fallback` when it is absent or unset.
int ReadRadarInteger(OGRLayer* layer, const char* name, int fallback);
// The text field `name` of the layer's feature; empty when it is absent or unset.
std::string ReadRadarText(OGRLayer* layer, const char* name);
// Sets the integer field `name` on a clone of the layer's feature and hands the clone back.
bool WriteRadarInteger(OGRLayer* layer, const char* name, int value);
// One line listing every set field of the layer's feature, "NAME=value" separated by spaces.
std::string DescribeRadarFeature(OGRLayer* layer);
// Sets every setting that `request` names on one clone of the layer's feature and hands the clone back
// once, as a property panel applies its page. False with the reason in `error` when the feature cannot
// be had or lacks a field.
bool ApplyRadarSettings(OGRLayer* layer, const RadarSettingsRequest& request, std::string& error);

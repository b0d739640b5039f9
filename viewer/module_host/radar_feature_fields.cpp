#include "viewer/module_host/radar_feature_fields.h"

#include <ogrsf_frmts.h>

#include <cmath>

void RadarFeatureDeleter::operator()(OGRFeature* feature) const { OGRFeature::DestroyFeature(feature); }

RadarFeaturePtr RadarFeatureOf(OGRLayer* layer) { return RadarFeaturePtr(layer ? layer->GetFeature(0) : nullptr); }

bool SetRadarFieldIfGiven(OGRFeature& feature, const char* name, const std::optional<double>& value,
                          std::string& error) {
  if (!value) return true;
  const int index = feature.GetFieldIndex(name);
  if (index < 0) {
    error = std::string("the radar has no setting ") + name;
    return false;
  }
  if (feature.GetFieldDefnRef(index)->GetType() == OFTReal)
    feature.SetField(index, *value);
  else
    feature.SetField(index, static_cast<int>(std::lround(*value)));
  return true;
}

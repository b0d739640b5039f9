#include "viewer/radar_settings_view.h"

#include <ogrsf_frmts.h>

#include <memory>

namespace {
struct FeatureDeleter {
  void operator()(OGRFeature* feature) const { OGRFeature::DestroyFeature(feature); }
};
using FeaturePtr = std::unique_ptr<OGRFeature, FeatureDeleter>;

FeaturePtr RadarFeature(OGRLayer* layer) { return FeaturePtr(layer ? layer->GetFeature(0) : nullptr); }
}  // namespace

int ReadRadarInteger(OGRLayer* layer, const char* name, int fallback) {
  const FeaturePtr feature = RadarFeature(layer);
  if (!feature) return fallback;
  const int index = feature->GetFieldIndex(name);
  if (index < 0 || !feature->IsFieldSetAndNotNull(index)) return fallback;
  return feature->GetFieldAsInteger(index);
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

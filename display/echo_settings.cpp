#include "display/echo_settings.h"

#include <ogrsf_frmts.h>

#include "settings/ograble.h"
#include "settings/radar_settings_fields.h"

namespace {

int IntegerField(OGRFeature& feature, const char* name) {
  const int index = feature.GetDefnRef()->GetFieldIndex(name);
  return index < 0 ? 0 : feature.GetFieldAsInteger(index);
}

}  // namespace

void ReadEchoSettings(OGRable* source, EchoSettings& settings) {
  OGRLayer* layer = source != nullptr ? source->GetOGRLayer(0) : nullptr;
  OGRFeature* feature = layer != nullptr ? layer->GetFeature(0) : nullptr;
  if (feature == nullptr) {
    settings.realTime = true;
    return;
  }
  settings.realTime = IntegerField(*feature, kFieldRealTime) != 0;
  settings.echoColourIndex = IntegerField(*feature, kFieldEchoColor);
  settings.trailColourIndex = IntegerField(*feature, kFieldTrailColor);
  OGRFeature::DestroyFeature(feature);
}

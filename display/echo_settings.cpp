#include "display/echo_settings.h"

#include <ogrsf_frmts.h>

#include "settings/radar_settings_fields.h"

namespace {

int IntegerField(OGRFeature& feature, const char* name) {
  const int index = feature.GetDefnRef()->GetFieldIndex(name);
  return index < 0 ? 0 : feature.GetFieldAsInteger(index);
}

}  // namespace

void ReadEchoSettings(OGRFeature* feature, EchoSettings& settings) {
  if (feature == nullptr) {
    settings.realTime = true;
    return;
  }
  settings.realTime = IntegerField(*feature, kFieldRealTime) != 0;
  settings.echoColourIndex = IntegerField(*feature, kFieldEchoColor);
  settings.trailColourIndex = IntegerField(*feature, kFieldTrailColor);
}

#include "settings/radar_settings_fields.h"

#include <ogr_feature.h>

#include "common/profile.h"
#include "common/radar_identity.h"
#include "settings/field_access.h"

namespace {

// One module field: its type, its profile key (null: not stored) and the value used when the profile
// holds none.
struct ModuleField {
  const char* name;
  OGRFieldType type;
  const char* profileKey;
  int integerDefault;
  double realDefault;
};

// In the definition's order.
constexpr ModuleField kModuleFields[] = {
    {kFieldEchoColor, OFTInteger, "ECHO_COLOR", 3, 0.0},
    {kFieldRealTime, OFTInteger, "REAL_TIME", 0, 0.0},
    {kFieldShiftDirection, OFTReal, "VK_SHIFT_DIR", 0, 0.0},
    {kFieldShiftDistance, OFTReal, "VK_SHIFT_DIST", 0, 0.0},
    {kFieldTrailColor, OFTInteger, "TRAIL_COLOR", 2, 0.0},
    {kFieldTrailTime, OFTInteger, "TRAIL_TIME", 15, 0.0},
    {kFieldRadarType, OFTInteger, "RADAR_TYPE", 1, 0.0},
    {kFieldPreset, OFTInteger, nullptr, 0, 0.0},
    {kFieldTrailStatus, OFTInteger, "TRAIL_STATUS", 0, 0.0},
};

// The order in which the stored settings are read and set: not the definition's order.
constexpr const char* kLoadOrder[] = {kFieldEchoColor, kFieldRealTime, kFieldTrailStatus,
                                      kFieldShiftDirection, kFieldShiftDistance, kFieldTrailColor,
                                      kFieldTrailTime, kFieldRadarType};

const ModuleField& FieldNamed(const char* name) {
  for (const ModuleField& field : kModuleFields)
    if (field.name == name) return field;
  return kModuleFields[0];  // not reached: every name above is a module field
}

constexpr int kPresetRadarType0 = 0x2AAA7;
constexpr int kPresetRadarType1 = 0x6FFFF;

bool HoldsImoValue(OGRFeature* feature, const char* name, int imoValue) {
  int value = 0;
  return GetFieldInteger(feature, &value, name) && value == imoValue;
}

}  // namespace

void AppendModuleFields(OGRFeatureDefn& definition) {
  for (const ModuleField& field : kModuleFields) {
    OGRFieldDefn fieldDefinition(field.name, field.type);
    definition.AddFieldDefn(&fieldDefinition);
  }
}

int PresetForRadarType(int radarType) {
  switch (radarType) {
    case 0: return kPresetRadarType0;
    case 1: return kPresetRadarType1;
    default: return 0;
  }
}

int LoadModuleSettings(OGRFeature* feature) {
  int trailTime = 0;
  int radarType = 0;
  for (const char* name : kLoadOrder) {
    const ModuleField& field = FieldNamed(name);
    if (field.type == OFTReal) {
      double value = field.realDefault;
      ProfileReadDouble(kRadarDataSection, field.profileKey, value, field.realDefault);
      SetFieldDouble(feature, &value, field.name);
      continue;
    }
    int value = field.integerDefault;
    ProfileReadInt(kRadarDataSection, field.profileKey, value, field.integerDefault);
    SetFieldInteger(feature, &value, field.name);
    if (field.name == kFieldTrailTime) trailTime = value;
    if (field.name == kFieldRadarType) radarType = value;
  }
  const int preset = PresetForRadarType(radarType);
  SetFieldInteger(feature, &preset, kFieldPreset);
  return trailTime;
}

void ApplyImoOverrides(OGRFeature* feature) {
  SetFieldInteger(feature, &kImoTrailColor, kFieldTrailColor);
  SetFieldInteger(feature, &kImoTrailTime, kFieldTrailTime);
}

void SaveModuleSettings(OGRFeature* feature, bool imoMode) {
  for (const ModuleField& field : kModuleFields) {
    if (!field.profileKey) continue;
    if (field.type == OFTReal) {
      double value = 0.0;
      if (GetFieldDouble(feature, &value, field.name)) ProfileWriteDouble(kRadarDataSection, field.profileKey, value);
      continue;
    }
    if (imoMode && ((field.name == kFieldTrailColor && HoldsImoValue(feature, field.name, kImoTrailColor)) ||
                    (field.name == kFieldTrailTime && HoldsImoValue(feature, field.name, kImoTrailTime))))
      continue;
    int value = 0;
    if (GetFieldInteger(feature, &value, field.name)) ProfileWriteInt(kRadarDataSection, field.profileKey, value);
  }
}

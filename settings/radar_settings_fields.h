#pragma once
// The module's own fields of the radar settings feature: appended after the radar service's fields,
// kept in the host profile between runs, and the rules that derive or override some of them.
class OGRFeature;
class OGRFeatureDefn;

inline constexpr const char* kFieldEchoColor = "RAD_ECHO_COLOR";
inline constexpr const char* kFieldRealTime = "RAD_REAL_TIME";
inline constexpr const char* kFieldShiftDirection = "RAD_VK_SHIFT_DIR";
inline constexpr const char* kFieldShiftDistance = "RAD_VK_SHIFT_DIST";
inline constexpr const char* kFieldTrailColor = "RAD_VK_TRAIL_COLOR";
inline constexpr const char* kFieldTrailTime = "RAD_VK_TRAIL_TIME";
inline constexpr const char* kFieldRadarType = "RAD_VK_RADAR_TYPE";
inline constexpr const char* kFieldPreset = "RAD_PRESET";
inline constexpr const char* kFieldTrailStatus = "RAD_VK_TRAIL_STATUS";

// What the type-approved (IMO) presentation shows instead of the stored trail settings: no trails.
inline constexpr int kImoTrailColor = -1;
inline constexpr int kImoTrailTime = 0;

// Appends the nine module fields, in their fixed order, to `definition`.
void AppendModuleFields(OGRFeatureDefn& definition);

// The preset mask of a radar type.
int PresetForRadarType(int radarType);

// Sets the module fields of `feature` from the profile (defaults for what is not stored) and the preset
// from the radar type; answers the stored trail time.
int LoadModuleSettings(OGRFeature* feature);

// Replaces the trail settings by those the IMO presentation shows.
void ApplyImoOverrides(OGRFeature* feature);

// Writes the module fields of `feature` that hold a value to the profile; the preset is derived and not
// stored. In IMO mode trail colour and time that still hold the IMO values are not written: they stand
// in for the stored settings and must not replace them.
void SaveModuleSettings(OGRFeature* feature, bool imoMode);

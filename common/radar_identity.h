#pragma once
// The names by which the host knows the radar module: its module name, its profile sections, its
// layers, and its settings data source with the layer of each presentation mode. They cross the
// interface to the host and its stored profiles, so their texts are fixed.

inline constexpr const char* kRadarModuleName = "RADAR_MODULE";

// The module's own profile section, and the stem of its displays' sections ("%s_%d" with the display's
// number).
inline constexpr const char* kRadarDataSection = "ModuleData\\RadarData";
inline constexpr const char* kRadarDisplaySection = "ModuleDisplay\\RadarDisplay";

// The layers a display shows or hides.
inline constexpr const char* kRadarLayerName = "RADAR_LAYER";
inline constexpr const char* kTrailLayerName = "TRAIL_LAYER";
inline constexpr const char* kRingsLayerName = "RINGS_LAYER";

// The radar settings data source and its one layer, named after the presentation mode.
inline constexpr const char* kRadarDataSourceName = "radar_data_source";
inline constexpr const char* kRadarPropertiesLayerName = "RADAR_PROPERTIES";
inline constexpr const char* kRadarImoPropertiesLayerName = "RADAR_IMO_PROPERTIES";

#pragma once
// The radar service's state fields, by the names its state feature gives them, and the values of the
// fields that take one of a few.

inline constexpr const char* kFieldRange = "RAD_RANGE";           // an index into the radar's range table
inline constexpr const char* kFieldRangeUnit = "RAD_RANGE_UNIT";  // see the range unit codes below
inline constexpr const char* kFieldPulse = "RAD_PULSE";           // 0 short, 1 medium, 2 long
inline constexpr const char* kFieldAntenna = "RAD_ANTENNA";
inline constexpr const char* kFieldModel = "RAD_MODEL";
inline constexpr const char* kFieldSourceStatus = "RAD_SOURCE_STATUS";  // 0 while the radar source is lost
inline constexpr const char* kFieldWarmUpTime = "RAD_WARMUPTIME";       // seconds of warm-up left
inline constexpr const char* kFieldWatchmanTime = "RAD_WATCHMAN_TIME";  // seconds of standby between looks; 0 off
inline constexpr const char* kFieldWatchmanLeft = "RAD_WATCHMAN_LEFT";
inline constexpr const char* kFieldTransmit = "RAD_TXSTBY";  // see the transmitter states below
inline constexpr const char* kFieldServiceTrailTime = "RAD_TRAIL_TIME";
inline constexpr const char* kFieldGain = "RAD_GAIN";  // 0 to 100, as the three below
inline constexpr const char* kFieldSea = "RAD_SEA";
inline constexpr const char* kFieldRain = "RAD_RAIN";
inline constexpr const char* kFieldTune = "RAD_TUNE";
inline constexpr const char* kFieldRotationRate = "RAD_ROTATION_RATE";
inline constexpr const char* kFieldLostSpokes = "RAD_LOST_SPOKES";    // spokes the radar sent that never came
inline constexpr const char* kFieldSpokeStream = "RAD_SPOKE_STREAM";  // text: group:port of the spokes played

// "RAD_TXSTBY": the transmitter's states.
inline constexpr int kTransmitOff = 0;
inline constexpr int kTransmitStandby = 1;
inline constexpr int kTransmitting = 2;
inline constexpr int kTransmitNotAvailable = 3;

// "RAD_RANGE_UNIT": the range unit codes.
inline constexpr int kRangeUnitNauticalMiles = 0;
inline constexpr int kRangeUnitKilometres = 1;
inline constexpr int kRangeUnitStatuteMiles = 2;

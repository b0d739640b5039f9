#pragma once
// The units the radar's distances and angles are given in.
#include <numbers>

inline constexpr double kTwoPi = 2.0 * std::numbers::pi;  // one turn, in radians
inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
inline constexpr double kMetresPerNauticalMile = 1852.0;
inline constexpr double kMetresPerStatuteMile = 1609.344;
// A nautical mile is one minute of arc of the earth.
inline constexpr double kRadiansPerNauticalMile = std::numbers::pi / 10800.0;

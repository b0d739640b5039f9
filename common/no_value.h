#pragma once
// Markers for a missing value, held in any variable that carries a radar value. Compare with ==.
#include <cstdint>

// -666666.666666 rounded to single precision and widened: exactly -666666.6875.
inline constexpr double NoValueDouble = static_cast<double>(-666666.666666f);
inline constexpr std::int32_t NoValueInteger = -666666;
inline constexpr const char* NoValueText = "-666666.666666";

static_assert(NoValueDouble == -666666.6875);

#pragma once
// The lengths the converter knows, by unit code.
#include <cstdint>
#include <optional>

// How many of unit `unit` make one nautical mile; nothing for an unknown code.
std::optional<double> UnitsPerNauticalMile(std::int32_t unit);

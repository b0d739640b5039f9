#pragma once
// The host's unit converter library ("Converter.dll"): the entry "GetConverterAPI" returns one
// long-lived ConverterAPI whose GetConverter gives the converter.
#include <cstdint>

#include "common/no_value.h"

// Unit codes of the converter that the module uses.
namespace converter_units {
inline constexpr std::int32_t kNauticalMiles = 3;
inline constexpr std::int32_t kArcRadians = 5;
inline constexpr std::int32_t kMetres = 7;
inline constexpr std::int32_t kKilometres = 8;
inline constexpr std::int32_t kStatuteMiles = 9;
// The distance unit of radar ranges in nautical miles; the same length as kNauticalMiles.
inline constexpr std::int32_t kRangeNauticalMiles = 10;
}  // namespace converter_units

// What the converter answers when it cannot convert: the host's no-value marker.
inline constexpr double kConverterNoValue = NoValueDouble;

class UnitConverter {
public:
  // `*value` in unit `sourceUnit` expressed in unit `targetUnit`; `*value` is not changed. A null
  // pointer, an unknown unit or a no-value input answers kConverterNoValue.
  virtual double Convert(const double* value, std::int32_t sourceUnit, std::int32_t targetUnit) = 0;

protected:
  ~UnitConverter() = default;
};

class ConverterAPI {
public:
  // The converter; the same object for the life of the library.
  virtual UnitConverter* GetConverter() = 0;

protected:
  ~ConverterAPI() = default;
};

// Signature of the library's entry function.
using GetConverterAPIFunction = ConverterAPI* (*)();

#pragma once
// The host's formatting library ("gdcore"): values that know how to write themselves for the user.
// The module uses the horizontal distance (held as an arc angle in radians) and the duration.
#include "afxstr.h"
#include "atltime.h"
#include "common/no_value.h"

namespace _GenData {

// The unit the user reads distances in; nautical miles unless the host chose another.
enum class DistanceUnit { kNauticalMiles, kKilometres, kStatuteMiles };
void SetUserDistanceUnit(DistanceUnit unit);
DistanceUnit GetUserDistanceUnit();

// How a value is written.
class CFormat {
public:
  // Decimal property values.
  // The value's own precision: up to two decimals, trailing zeros dropped.
  static constexpr int kDecimalDefault = 0;
  // Exactly `parameter` decimals (0 to 9).
  static constexpr int kDecimalFixed = 1;
  // Up to `parameter` decimals (0 to 9), trailing zeros dropped.
  static constexpr int kDecimalAtMost = 3;

  // Duration property values.
  // Hours, minutes and seconds: "1:02:05".
  static constexpr int kDurationHoursMinutesSeconds = 0;
  // Minutes and seconds, the minutes counting on past the hour: "62:05", "1:30".
  static constexpr int kDurationMinutesSeconds = 9;

  // Unknown values, and parameters outside 0 to 9, leave the default in force.
  void SetProprieteDecimale(int value, int parameter);
  void SetProprieteDuree(int value);
  int GetProprieteDecimale() const { return decimal_; }
  int GetParametreDecimale() const { return decimalParameter_; }
  int GetProprieteDuree() const { return duration_; }

private:
  int decimal_ = kDecimalDefault;
  int decimalParameter_ = 0;
  int duration_ = kDurationHoursMinutesSeconds;
};

// A number. A non-finite value or the host's no-value marker (NoValueDouble) writes as an empty text.
class CFloatGenData {
public:
  virtual ~CFloatGenData() = default;
  void SetValue(double value) { value_ = value; }
  double GetValue() const { return value_; }
  bool HasValue() const;
  virtual CString ToString(const CFormat& format) const;

protected:
  // The number alone, with the format's decimals.
  static CString FormatNumber(double number, const CFormat& format);

private:
  double value_ = NoValueDouble;
};

// A horizontal distance held as an arc angle of the earth in radians (one nautical mile is π/10800),
// written in the user's distance unit with its symbol: "0.25 NM", "1.5 km", "2 mi".
class CDistHorizontaleRad : public CFloatGenData {
public:
  CString ToString(const CFormat& format) const override;
};

// A duration in seconds, written as the format's duration property says; negative durations get a
// leading "-".
class CDuree {
public:
  void SetValue(ATL::CTimeSpan value) { value_ = value; }
  ATL::CTimeSpan GetValue() const { return value_; }
  CString ToString(const CFormat& format) const;

private:
  ATL::CTimeSpan value_;
};

}  // namespace _GenData

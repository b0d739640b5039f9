// The host's formatters: distances held as arc angles, and durations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "common/units.h"
#include "host/gen_data.h"

namespace {

using _GenData::CFormat;

CString Distance(double nauticalMiles, const CFormat& format = CFormat()) {
  _GenData::CDistHorizontaleRad distance;
  distance.SetValue(nauticalMiles * kRadiansPerNauticalMile);
  return distance.ToString(format);
}

CString Duration(std::int64_t seconds, int property) {
  _GenData::CDuree duration;
  duration.SetValue(ATL::CTimeSpan(seconds));
  CFormat format;
  format.SetProprieteDuree(property);
  return duration.ToString(format);
}

CFormat Decimals(int value, int parameter) {
  CFormat format;
  format.SetProprieteDecimale(value, parameter);
  return format;
}

}  // namespace

TEST(DistanceFormatter, WritesNauticalMilesWithUpToTwoDecimals) {
  EXPECT_EQ(Distance(0.25), "0.25 NM");
  EXPECT_EQ(Distance(0.5), "0.5 NM");
  EXPECT_EQ(Distance(6.0), "6 NM");
  EXPECT_EQ(Distance(0.0125), "0.01 NM");
  EXPECT_EQ(Distance(-1e-9), "0 NM") << "no sign on a value rounded to zero";
}

TEST(DistanceFormatter, WritesFinerDecimalsWhenAsked) {
  // What the rings ask for below 0.07 of the range unit.
  EXPECT_EQ(Distance(0.0125, Decimals(3, 4)), "0.0125 NM");
  EXPECT_EQ(Distance(0.05, Decimals(3, 4)), "0.05 NM");
  EXPECT_EQ(Distance(0.5, Decimals(CFormat::kDecimalFixed, 3)), "0.500 NM");
  EXPECT_EQ(Distance(2.0, Decimals(CFormat::kDecimalFixed, 0)), "2 NM");
}

TEST(DistanceFormatter, IgnoresDecimalPropertiesItDoesNotKnow) {
  const CFormat unknown = Decimals(7, 4);
  EXPECT_EQ(unknown.GetProprieteDecimale(), CFormat::kDecimalDefault);
  EXPECT_EQ(Decimals(3, 12).GetProprieteDecimale(), CFormat::kDecimalDefault);
  EXPECT_EQ(Distance(0.0125, unknown), "0.01 NM");
}

TEST(DistanceFormatter, WritesTheUsersUnit) {
  _GenData::SetUserDistanceUnit(_GenData::DistanceUnit::kKilometres);
  EXPECT_EQ(Distance(1.0), "1.85 km");
  _GenData::SetUserDistanceUnit(_GenData::DistanceUnit::kStatuteMiles);
  EXPECT_EQ(Distance(1.0, Decimals(CFormat::kDecimalFixed, 4)), "1.1508 mi");
  _GenData::SetUserDistanceUnit(_GenData::DistanceUnit::kNauticalMiles);
  EXPECT_EQ(Distance(1.0), "1 NM");
}

TEST(DistanceFormatter, WritesNothingWithoutAValue) {
  _GenData::CDistHorizontaleRad distance;
  EXPECT_EQ(distance.ToString(CFormat()), "");
  distance.SetValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(distance.ToString(CFormat()), "");
  distance.SetValue(std::numeric_limits<double>::infinity());
  EXPECT_EQ(distance.ToString(CFormat()), "");
  _GenData::CFloatGenData number;
  number.SetValue(2.5);
  EXPECT_EQ(number.ToString(CFormat()), "2.5");
}

TEST(DurationFormatter, WritesMinutesAndSecondsForTheWarmUp) {
  EXPECT_EQ(Duration(90, CFormat::kDurationMinutesSeconds), "1:30");
  EXPECT_EQ(Duration(89, 9), "1:29");
  EXPECT_EQ(Duration(5, 9), "0:05");
  EXPECT_EQ(Duration(3725, 9), "62:05");
  EXPECT_EQ(Duration(-5, 9), "-0:05");
}

TEST(DurationFormatter, WritesHoursByDefault) {
  EXPECT_EQ(Duration(3725, CFormat::kDurationHoursMinutesSeconds), "1:02:05");
  EXPECT_EQ(Duration(3725, 42), "1:02:05") << "an unknown property leaves the default";
  EXPECT_EQ(Duration(0, 0), "0:00:00");
  const CString most = Duration(std::numeric_limits<std::int64_t>::min(), 9);
  EXPECT_EQ(most.Left(1), "-");
  EXPECT_EQ(most.Right(3), ":08");
}

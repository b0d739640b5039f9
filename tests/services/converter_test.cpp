// The unit converter as the module reaches it: through its accessor, from the library beside the host.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "extensions/kernel32.h"
#include "host/converter_api.h"
#include "module/service_libraries.h"
#include "services/converter/converter_diagnostics.h"

namespace {

using namespace converter_units;

constexpr std::int32_t kAllUnits[] = {kNauticalMiles, kArcRadians,   kMetres,
                                      kKilometres,    kStatuteMiles, kRangeNauticalMiles};

double Convert(double value, std::int32_t from, std::int32_t to) {
  return GetConverterService()->GetConverter()->Convert(&value, from, to);
}

}  // namespace

TEST(Converter, ConvertsThePairsTheModuleUses) {
  EXPECT_DOUBLE_EQ(Convert(926.0, kMetres, kRangeNauticalMiles), 0.5);
  EXPECT_DOUBLE_EQ(Convert(3.0, kNauticalMiles, kArcRadians), 3.0 * std::numbers::pi / 10800.0);
  EXPECT_DOUBLE_EQ(Convert(std::numbers::pi / 10800.0, kArcRadians, kNauticalMiles), 1.0);
  EXPECT_DOUBLE_EQ(Convert(1.5, kKilometres, kRangeNauticalMiles), 1500.0 / 1852.0);
  EXPECT_DOUBLE_EQ(Convert(2.0, kStatuteMiles, kRangeNauticalMiles), 2.0 * 1609.344 / 1852.0);
  EXPECT_EQ(Convert(0.125, kRangeNauticalMiles, kRangeNauticalMiles), 0.125);
  EXPECT_EQ(Convert(0.75, kNauticalMiles, kRangeNauticalMiles), 0.75) << "both codes are nautical miles";
}

TEST(Converter, EveryPairAgreesWithEveryOther) {
  EXPECT_DOUBLE_EQ(Convert(1.0, kStatuteMiles, kMetres), 1609.344);
  EXPECT_DOUBLE_EQ(Convert(1.0, kKilometres, kMetres), 1000.0);
  EXPECT_DOUBLE_EQ(Convert(1.0, kNauticalMiles, kMetres), 1852.0);
  for (const std::int32_t from : kAllUnits) {
    for (const std::int32_t to : kAllUnits) {
      SCOPED_TRACE(testing::Message() << from << " to " << to);
      const double there = Convert(7.25, from, to);
      EXPECT_NEAR(Convert(there, to, from), 7.25, 1e-12);
      // Through metres the same as directly.
      EXPECT_NEAR(Convert(Convert(7.25, from, kMetres), kMetres, to), there, std::abs(there) * 1e-12);
    }
  }
}

TEST(Converter, AnswersTheNoValueMarkerForWhatItCannotConvert) {
  UnitConverter* converter = GetConverterService()->GetConverter();
  const double value = 4.0;
  EXPECT_EQ(converter->Convert(&value, 4, kMetres), kConverterNoValue);
  EXPECT_EQ(converter->Convert(&value, kMetres, -1), kConverterNoValue);
  EXPECT_EQ(converter->Convert(nullptr, kMetres, kKilometres), kConverterNoValue);
  const double noValue = kConverterNoValue;
  EXPECT_EQ(converter->Convert(&noValue, kNauticalMiles, kMetres), kConverterNoValue);
  EXPECT_EQ(value, 4.0);
}

TEST(Converter, ASecondAccessorCallReusesTheService) {
  ConverterAPI* first = GetConverterService();
  ConverterAPI* second = GetConverterService();
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->GetConverter(), second->GetConverter());
  const HMODULE library = GetModuleHandleA("Converter.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(GetModuleLoadCount(library), 1u);
  const auto entryCalls = reinterpret_cast<ConverterEntryCallCountFunction>(
      GetProcAddress(library, "ConverterEntryCallCount"));
  ASSERT_NE(entryCalls, nullptr);
  EXPECT_EQ(entryCalls(), 1);
}

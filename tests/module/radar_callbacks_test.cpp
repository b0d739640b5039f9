// The sweep callback as the radar service calls it: the sweep goes into the module's store with the
// distance of the staged radar service's current range.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_store.h"
#include "host/radar_service.h"
#include "module/radar_callbacks.h"
#include "module/service_libraries.h"

namespace {

TEST(SweepCallback, StampsAndStoresWithTheServicesRange) {
  SweepStore& store = TheSweepStore();
  store.StampSweepArrival(0);
  SweepCallback(nullptr);
  EXPECT_EQ(store.GetLastSweepTick(), 0u);

  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(false);
  store.Reset();
  std::vector<std::uint8_t> samples(512, 3);
  const SweepRecord sweep{kSweepKindSamples, 0, samples.data(), 512, 400, 1000, 100};
  SweepCallback(&sweep);
  EXPECT_NE(store.GetLastSweepTick(), 0u);
  EXPECT_EQ(store.GetCursor().angle, 1000);
  SorVikRadar* radar = GetSorVikRadar();
  int rangeValue = 0;
  int rangeUnit = 0;
  ASSERT_EQ(radar->GetCurrentRange(&rangeValue, &rangeUnit), 0);
  const double rangeMiles = radar->RangeToDistance(rangeValue, rangeUnit);
  EXPECT_DOUBLE_EQ(store.GetSweepDistance(), rangeMiles * 512 / 400);
  store.Reset();
  ResetEchoGeometryForTesting();
}

}  // namespace

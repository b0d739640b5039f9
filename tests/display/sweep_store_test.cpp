#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_callback.h"
#include "display/sweep_store.h"
#include "host/radar_service.h"
#include "module/service_libraries.h"
#include "support/quiet_radar.h"

namespace {

// A radar that answers a range of 3 miles, or no range at all.
class RangeRadar : public QuietRadar {
public:
  int GetCurrentRange(int* value, int* unit) override {
    if (!rangeKnown) return -1;
    *value = 6;
    *unit = 2;
    return 0;
  }
  double RangeToDistance(int value, int unit) override { return value == 6 && unit == 2 ? 3.0 : -1.0; }
  bool rangeKnown = true;
};

// A sweep whose samples all hold `level`.
struct TestSweep {
  TestSweep(std::uint16_t angle, std::uint8_t level, std::uint16_t count = 512, std::uint16_t kind = 1)
      : samples(std::max<std::size_t>(count, 1), level) {  // never null by accident
    record = {kind, 0, samples.data(), count, count, angle, 100};
  }
  const SweepRecord* Record() const { return &record; }
  std::vector<std::uint8_t> samples;
  SweepRecord record;
};

class SweepStoreTest : public ::testing::Test {
protected:
  void SetUp() override { Configure(false); }
  void TearDown() override { ResetEchoGeometryForTesting(); }
  static void Configure(bool imoMode) {
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(imoMode);
  }
  bool Add(const TestSweep& sweep, SorVikRadar* radar = nullptr) {
    return store.AddSweep(sweep.Record(), radar);
  }
  // Row `row` as ReadRow gives it, the length of the store's rows.
  std::vector<std::uint8_t> Row(int row) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(store.GetDimensions().rowLength), 0xEE);
    EXPECT_TRUE(store.ReadRow(row, bytes));
    return bytes;
  }

  SweepStore store;
};

TEST_F(SweepStoreTest, GeometryIsFixedByTheFirstConfiguration) {
  ResetEchoGeometryForTesting();
  EXPECT_EQ(ConfiguredEchoGeometry(), nullptr);
  EXPECT_FALSE(Add(TestSweep(0, 1)));  // nothing is stored before the geometry is known
  EXPECT_TRUE(ConfigureEchoGeometry(true));
  EXPECT_FALSE(ConfigureEchoGeometry(false));
  const EchoGeometry& geometry = GetEchoGeometry();
  EXPECT_EQ(geometry.rows, 8192);
  EXPECT_EQ(geometry.textureSize, 1024);
  EXPECT_EQ(geometry.validSamples, 884);
  EXPECT_EQ(geometry.AngleUnitsPerRow(), 1);
  EXPECT_EQ(geometry.RowsPerSector(), 64);
  EXPECT_EQ(kNormalEchoGeometry.AngleUnitsPerRow(), 2);
  EXPECT_EQ(kNormalEchoGeometry.RowsPerSector(), 32);
}

TEST_F(SweepStoreTest, AnglesFillRowsAndCountTurns) {
  ASSERT_TRUE(Add(TestSweep(6, 2)));
  ASSERT_TRUE(Add(TestSweep(7, 3)));
  EXPECT_EQ(Row(3)[0], 3);  // both angles share row 3; the later sweep wins
  EXPECT_EQ(Row(4)[0], 0);

  ASSERT_TRUE(Add(TestSweep(8191, 1)));
  ASSERT_TRUE(Add(TestSweep(3, 1)));
  TestSweep headless(3, 1);
  headless.record.heading = -1;
  ASSERT_TRUE(Add(headless));
  const SweepCursor cursor = store.GetCursor();
  EXPECT_EQ(cursor.revolutions, 1);
  EXPECT_EQ(cursor.angle, 3);
  EXPECT_EQ(cursor.heading, -1);
}

TEST_F(SweepStoreTest, ImoRowsPerAngleAndShiftedLevels) {
  Configure(true);
  store.SetShiftSamples(true);
  TestSweep bright(6, 0xFF);
  bright.samples[1] = 0x1F;
  ASSERT_TRUE(Add(bright));
  ASSERT_TRUE(Add(TestSweep(7, 0x40)));
  EXPECT_EQ(Row(6)[0], 7);
  EXPECT_EQ(Row(6)[1], 0);
  EXPECT_EQ(Row(6)[100], 7);  // past the first eight samples
  EXPECT_EQ(Row(7)[0], 2);
}

TEST_F(SweepStoreTest, EmptySweepClearsAndReadRowDrawsTheEdgeRing) {
  ASSERT_TRUE(Add(TestSweep(0, 1)));
  const std::vector<std::uint8_t> row = Row(0);
  EXPECT_EQ((std::vector<std::uint8_t>(row.begin() + 459, row.begin() + 464)),
            (std::vector<std::uint8_t>{1, 6, 6, 6, 1}));

  ASSERT_TRUE(Add(TestSweep(0, 1, 512, 2)));
  EXPECT_EQ(Row(0)[0], 0);
  EXPECT_EQ(Row(0)[460], 6);  // the ring, whatever the radar sent

  std::vector<std::uint8_t> untouched(512, 0xEE);
  EXPECT_FALSE(store.ReadRow(-1, untouched));
  EXPECT_FALSE(store.ReadRow(4096, untouched));
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(512, 0xEE));
}

TEST_F(SweepStoreTest, SweepsOfAnotherLengthAreFittedToTheRow) {
  EXPECT_FALSE(Add(TestSweep(0, 4, 32)));  // too short to size the store
  ASSERT_TRUE(Add(TestSweep(0, 4, 461)));
  EXPECT_EQ(store.GetGeneration(), 1);
  std::vector<std::uint8_t> wide(600, 0xEE);
  ASSERT_TRUE(store.ReadRow(0, wide));
  EXPECT_EQ(wide[460], 6);     // the ring only where the row has samples
  EXPECT_EQ(wide[461], 0xEE);  // and nothing beyond the row

  ASSERT_TRUE(Add(TestSweep(0, 2, 100)));
  EXPECT_EQ(Row(0)[99], 2);
  EXPECT_EQ(Row(0)[100], 0);  // not the longer sweep's tail
  ASSERT_TRUE(Add(TestSweep(0, 3, 2000)));
  EXPECT_EQ(Row(0)[459], 3);
  EXPECT_EQ(store.GetDimensions().rowLength, 461);
  EXPECT_EQ(store.GetGeneration(), 1);
}

TEST_F(SweepStoreTest, BadRecordsAreRefusedAndLeaveTheCursor) {
  ASSERT_TRUE(Add(TestSweep(100, 1)));
  EXPECT_TRUE(store.AddSweep(nullptr, nullptr));
  EXPECT_FALSE(Add(TestSweep(8192, 1)));
  EXPECT_FALSE(Add(TestSweep(65535, 1)));
  for (std::uint16_t kind : {1, 4}) {
    TestSweep noSamples(5, 1, 512, kind);
    noSamples.record.samples = nullptr;
    EXPECT_FALSE(Add(noSamples));
  }
  EXPECT_EQ(store.GetCursor().angle, 100);
  EXPECT_EQ(store.GetCursor().revolutions, 0);
}

TEST_F(SweepStoreTest, SweepDistanceScalesTheRangeToTheRow) {
  RangeRadar radar;
  TestSweep sweep(0, 1, 512);
  sweep.record.rangeSampleCount = 256;
  ASSERT_TRUE(Add(sweep, &radar));
  EXPECT_DOUBLE_EQ(store.GetSweepDistance(), 6.0);
  // No radar, no range, no range samples: the last distance stays.
  ASSERT_TRUE(Add(sweep));
  radar.rangeKnown = false;
  ASSERT_TRUE(Add(sweep, &radar));
  radar.rangeKnown = true;
  sweep.record.rangeSampleCount = 0;
  ASSERT_TRUE(Add(sweep, &radar));
  EXPECT_DOUBLE_EQ(store.GetSweepDistance(), 6.0);
  // A shorter sweep does not change the scale of the 512-sample row.
  ASSERT_TRUE(Add(TestSweep(2, 1, 128), &radar));
  EXPECT_DOUBLE_EQ(store.GetSweepDistance(), 12.0);
}

TEST_F(SweepStoreTest, ClearKeepsTheCursorAndResetFreesTheRows) {
  ASSERT_TRUE(Add(TestSweep(9, 5)));
  store.Clear();
  EXPECT_EQ(Row(4)[0], 0);
  EXPECT_EQ(store.GetCursor().angle, 9);

  store.Reset();
  EXPECT_EQ(store.GetGeneration(), -1);
  EXPECT_EQ(store.GetDimensions().rows, 0);
  std::vector<std::uint8_t> row(512);
  EXPECT_FALSE(store.ReadRow(0, row));
  // Connected again, the store is sized afresh by its next sweep.
  ASSERT_TRUE(Add(TestSweep(9, 5, 300)));
  EXPECT_EQ(store.GetGeneration(), 0);
  EXPECT_EQ(store.GetDimensions().rowLength, 300);
}

TEST(SweepCallbackTest, StampsAndStoresWithTheServicesRange) {
  lastSweepTick = 0;
  SweepCallback(nullptr);
  EXPECT_EQ(lastSweepTick.load(), 0u);

  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(false);
  TheSweepStore().Reset();
  TestSweep sweep(1000, 3, 512);
  sweep.record.rangeSampleCount = 400;
  SweepCallback(sweep.Record());
  EXPECT_NE(lastSweepTick.load(), 0u);
  EXPECT_EQ(TheSweepStore().GetCursor().angle, 1000);
  SorVikRadar* radar = GetSorVikService()->GetRadar();
  int rangeValue = 0;
  int rangeUnit = 0;
  ASSERT_EQ(radar->GetCurrentRange(&rangeValue, &rangeUnit), 0);
  const double rangeMiles = radar->RangeToDistance(rangeValue, rangeUnit);
  EXPECT_DOUBLE_EQ(TheSweepStore().GetSweepDistance(), rangeMiles * 512 / 400);
  TheSweepStore().Reset();
  ResetEchoGeometryForTesting();
}

}  // namespace

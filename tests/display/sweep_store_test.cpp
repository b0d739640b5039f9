#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_store.h"

namespace {

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
  bool Add(const TestSweep& sweep, std::optional<double> rangeDistance = std::nullopt) {
    return store_.AddSweep(sweep.Record(), rangeDistance);
  }
  // Row `row` as ReadRow gives it, the length of the store's rows.
  std::vector<std::uint8_t> Row(int row) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(store_.GetDimensions().rowLength), 0xEE);
    EXPECT_TRUE(store_.ReadRow(row, bytes));
    return bytes;
  }

  SweepStore store_;
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
  const SweepCursor cursor = store_.GetCursor();
  EXPECT_EQ(cursor.revolutions, 1);
  EXPECT_EQ(cursor.angle, 3);
  EXPECT_EQ(cursor.heading, -1);
}

TEST_F(SweepStoreTest, TheLastAngleFillsTheLastRowInEitherMode) {
  for (const auto& [imoMode, lastRow] : {std::pair{false, 4095}, std::pair{true, 8191}}) {
    SCOPED_TRACE(imoMode ? "imo" : "normal");
    Configure(imoMode);
    store_.Reset();
    ASSERT_TRUE(Add(TestSweep(8191, 5)));
    ASSERT_EQ(store_.GetDimensions().rows, lastRow + 1);
    EXPECT_EQ(Row(lastRow)[0], 5);
    EXPECT_EQ(Row(lastRow - 1)[0], 0);
  }
}

TEST_F(SweepStoreTest, ImoRowsPerAngleAndShiftedLevels) {
  Configure(true);
  store_.SetShiftSamples(true);
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
  EXPECT_FALSE(store_.ReadRow(-1, untouched));
  EXPECT_FALSE(store_.ReadRow(4096, untouched));
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(512, 0xEE));
}

TEST_F(SweepStoreTest, SweepsOfAnotherLengthAreFittedToTheRow) {
  EXPECT_FALSE(Add(TestSweep(0, 4, 32)));  // too short to size the store
  ASSERT_TRUE(Add(TestSweep(0, 4, 461)));
  EXPECT_EQ(store_.GetGeneration(), 1);
  std::vector<std::uint8_t> wide(600, 0xEE);
  ASSERT_TRUE(store_.ReadRow(0, wide));
  EXPECT_EQ(wide[460], 6);     // the ring only where the row has samples
  EXPECT_EQ(wide[461], 0xEE);  // and nothing beyond the row

  ASSERT_TRUE(Add(TestSweep(0, 2, 100)));
  EXPECT_EQ(Row(0)[99], 2);
  EXPECT_EQ(Row(0)[100], 0);  // not the longer sweep's tail
  ASSERT_TRUE(Add(TestSweep(0, 3, 2000)));
  EXPECT_EQ(Row(0)[459], 3);
  EXPECT_EQ(store_.GetDimensions().rowLength, 461);
  EXPECT_EQ(store_.GetGeneration(), 1);
}

TEST_F(SweepStoreTest, BadRecordsAreRefusedAndLeaveTheCursor) {
  ASSERT_TRUE(Add(TestSweep(100, 1)));
  EXPECT_TRUE(store_.AddSweep(nullptr, std::nullopt));
  EXPECT_FALSE(Add(TestSweep(8192, 1)));
  EXPECT_FALSE(Add(TestSweep(65535, 1)));
  for (std::uint16_t kind : {1, 4}) {
    TestSweep noSamples(5, 1, 512, kind);
    noSamples.record.samples = nullptr;
    EXPECT_FALSE(Add(noSamples));
  }
  EXPECT_EQ(store_.GetCursor().angle, 100);
  EXPECT_EQ(store_.GetCursor().revolutions, 0);
}

TEST_F(SweepStoreTest, SweepDistanceScalesTheRangeToTheRow) {
  TestSweep sweep(0, 1, 512);
  sweep.record.rangeSampleCount = 256;
  ASSERT_TRUE(Add(sweep, 3.0));
  EXPECT_DOUBLE_EQ(store_.GetSweepDistance(), 6.0);
  // No range, no range samples: the last distance stays.
  ASSERT_TRUE(Add(sweep));
  sweep.record.rangeSampleCount = 0;
  ASSERT_TRUE(Add(sweep, 3.0));
  EXPECT_DOUBLE_EQ(store_.GetSweepDistance(), 6.0);
  // A shorter sweep does not change the scale of the 512-sample row.
  ASSERT_TRUE(Add(TestSweep(2, 1, 128), 3.0));
  EXPECT_DOUBLE_EQ(store_.GetSweepDistance(), 12.0);
}

// The distance follows each change of the range, of its samples and of the row's length, back and
// forth, however many sweeps came with the same ones before.
TEST_F(SweepStoreTest, SweepDistanceFollowsEveryChangeOfRangeAndRow) {
  struct Step {
    double range;
    std::uint16_t rangeSamples;
    bool resetTo256 = false;  // the rows sized afresh for 256-sample sweeps first
    double distance;
  };
  const Step steps[] = {
      {3.0, 256, false, 6.0},  {3.0, 256, false, 6.0}, {1.5, 256, false, 3.0},  {3.0, 256, false, 6.0},
      {3.0, 128, false, 12.0}, {3.0, 256, false, 6.0}, {3.0, 256, true, 3.0},   {3.0, 256, false, 3.0},
  };
  std::uint16_t length = 512;
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << step.range << " nm over " << step.rangeSamples << " samples");
    if (step.resetTo256) {
      store_.Reset();
      length = 256;
    }
    TestSweep sweep(0, 1, length);
    sweep.record.rangeSampleCount = step.rangeSamples;
    ASSERT_TRUE(Add(sweep, step.range));
    EXPECT_DOUBLE_EQ(store_.GetSweepDistance(), step.distance);
  }
}

TEST_F(SweepStoreTest, ClearKeepsTheCursorAndResetFreesTheRows) {
  ASSERT_TRUE(Add(TestSweep(9, 5)));
  store_.Clear();
  EXPECT_EQ(Row(4)[0], 0);
  EXPECT_EQ(store_.GetCursor().angle, 9);

  store_.Reset();
  EXPECT_EQ(store_.GetGeneration(), -1);
  EXPECT_EQ(store_.GetDimensions().rows, 0);
  std::vector<std::uint8_t> row(512);
  EXPECT_FALSE(store_.ReadRow(0, row));
  // Connected again, the store is sized afresh by its next sweep.
  ASSERT_TRUE(Add(TestSweep(9, 5, 300)));
  EXPECT_EQ(store_.GetGeneration(), 0);
  EXPECT_EQ(store_.GetDimensions().rowLength, 300);
}

// Reused memory reads as fresh: a row written at one length is zero under the next, longer or shorter.
TEST_F(SweepStoreTest, ResetKeepingMemoryLeavesNoOldEchoUnderTheNextSizing) {
  for (const std::uint16_t next : {std::uint16_t{200}, std::uint16_t{600}}) {
    store_.Reset();
    ASSERT_TRUE(Add(TestSweep(4000, 7, 400)));
    store_.ResetKeepingMemory();
    EXPECT_EQ(store_.GetDimensions().rows, 0);
    ASSERT_TRUE(Add(TestSweep(0, 0, next, 0)));  // an empty sweep sizes the store
    EXPECT_EQ(store_.GetDimensions().rowLength, next);
    for (int row = 0; row < store_.GetDimensions().rows; ++row) {
      const std::vector<std::uint8_t> bytes = Row(row);
      ASSERT_EQ(std::count(bytes.begin(), bytes.end(), 7), 0) << next << " " << row;
    }
  }
}

}  // namespace

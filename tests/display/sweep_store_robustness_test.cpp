// Whatever the radar service hands over, the store neither reads past a sweep's samples nor writes past
// its rows, and what it reports stays within its dimensions. Meant to be run under the address and
// undefined-behaviour sanitizers as well.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_store.h"

namespace {

// A record as a careless or broken radar might send it: any kind, any counts, any angle, any heading;
// the samples exist exactly as far as the record says (or not at all).
struct RandomSweep {
  explicit RandomSweep(std::mt19937& random) {
    std::uniform_int_distribution<int> word(0, 0xFFFF);
    std::uniform_int_distribution<int> small(0, 1200);
    std::uniform_int_distribution<int> pick(0, 9);
    const auto count = static_cast<std::uint16_t>(pick(random) == 0 ? word(random) : small(random));
    samples.resize(count);
    for (std::uint8_t& sample : samples) sample = static_cast<std::uint8_t>(word(random));
    record.kind = static_cast<std::uint16_t>(pick(random) < 7 ? 1 + 3 * (pick(random) & 1) : word(random));
    record.samples = pick(random) == 0 || samples.empty() ? nullptr : samples.data();
    record.sampleCount = count;
    record.rangeSampleCount = static_cast<std::uint16_t>(pick(random) == 0 ? 0 : small(random));
    record.angle = static_cast<std::uint16_t>(pick(random) == 0 ? word(random) : word(random) % 8192);
    record.heading = static_cast<std::int16_t>(word(random));
  }
  std::vector<std::uint8_t> samples;
  SweepRecord record;
};

void ExpectConsistent(const SweepStore& store) {
  const SweepStoreState state = store.GetState();
  if (state.dimensions.rows == 0) return;
  EXPECT_GT(state.dimensions.rowLength, SweepStore::kMinDimension);
  EXPECT_GE(state.cursor.angle, 0);
  EXPECT_LT(state.cursor.angle, EchoGeometry::kAngleUnits);
  EXPECT_GE(state.cursor.revolutions, 0);
}

TEST(SweepStoreRobustness, RandomRecordsNeverOverrunAndKeepTheStoreConsistent) {
  for (const bool imoMode : {false, true}) {
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(imoMode);
    SweepStore store;
    store.SetShiftSamples(imoMode);
    std::mt19937 random(imoMode ? 2024u : 7u);
    std::vector<std::uint8_t> row(2048);
    for (int i = 0; i < 4000; ++i) {
      const RandomSweep sweep(random);
      store.AddSweep(&sweep.record, std::nullopt);
      const int rowIndex = static_cast<int>(random() % 9000) - 400;
      store.ReadRow(rowIndex, std::span<std::uint8_t>(row.data(), random() % row.size()));
      if (i % 500 == 0) ExpectConsistent(store);
    }
    ExpectConsistent(store);
    // Stored levels respect the mode: shifted samples never exceed 7.
    if (imoMode) {
      const SweepDimensions dimensions = store.GetDimensions();
      std::vector<std::uint8_t> stored(static_cast<std::size_t>(dimensions.rowLength));
      for (int r = 0; r < dimensions.rows; r += 97) {
        ASSERT_TRUE(store.ReadRow(r, stored));
        for (const std::uint8_t level : stored) EXPECT_LE(level, 7);
      }
    }
  }
  ResetEchoGeometryForTesting();
}

}  // namespace

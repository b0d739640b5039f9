// Recorded spokes mapped onto the module's sweeps, and the replay's configuration keys.
#include "services/radar/spoke_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "services/radar/range_table.h"
#include "services/radar/simulator_config.h"
#include "support/scratch_folder.h"

namespace radarsim {
namespace {

TEST(SpokeMapping, AnglesDoubleAndTurnByTheAlignmentWithinOneTurn) {
  struct Case {
    std::uint16_t spoke;
    double alignmentDegrees;
    std::uint16_t expected;
  };
  const Case cases[] = {
      {0, 0.0, 0},     {1, 0.0, 2},     {4095, 0.0, 8190},    {1024, 0.0, 2048}, {0, 90.0, 2048},
      {3072, 90.0, 0}, {0, -90.0, 6144}, {100, -180.0, 4296}, {2048, 180.0, 0},
      {4095, 0.1, 0},  // 0.1 degree rounds to 2 units: past north
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SweepAngleOf(c.spoke, AlignmentUnitsOf(c.alignmentDegrees)), c.expected)
        << c.spoke << " turned by " << c.alignmentDegrees;
  }
}

TEST(SpokeMapping, HeadingIsKeptOnlyWhenFlaggedValid) {
  const std::pair<std::uint16_t, std::int16_t> cases[] = {
      {0x4000, 0}, {0x4000 | 1024, 2048}, {0x4000 | 4095, 8190}, {1024, -1}, {0, -1}, {0x8000 | 5, -1},
  };
  for (const auto& [word, expected] : cases) EXPECT_EQ(SweepHeadingOf(word), expected) << std::hex << word;
}

TEST(SpokeMapping, ASpokeFillsTheRowsUpToTheNextWithinTheGapCap) {
  struct Case {
    std::uint16_t from;
    std::uint16_t to;
    int unitsPerRow;
    int rows;
  };
  const Case cases[] = {
      {100, 104, 2, 2},   // normal mode: 2048 spokes over 4096 rows
      {100, 104, 1, 4},   // type-approved: 8192 rows
      {8188, 0, 2, 2},    // across north
      {8190, 2, 1, 4},
      {101, 105, 2, 2},   // an odd alignment still lands in two rows
      {100, 112, 2, 6},   // two lost spokes are filled
      {100, 116, 2, 8},   // at the cap
      {100, 120, 2, 2},   // beyond it the spoke keeps its own width
      {8000, 200, 1, 4},  // a long gap across north
      {100, 100, 2, 0},   // the same angle again: nothing to fill
      {100, 96, 2, 2},    // a step back is no gap
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowsToFill(c.from, c.to, c.unitsPerRow), c.rows) << c.from << " to " << c.to;
  }
}

TEST(SpokeMapping, StrengthsBecomeLevelsOfEachMode) {
  const std::array<std::pair<std::uint8_t, std::uint8_t>, 5> normal = {{{0, 0}, {1, 0}, {2, 1}, {15, 7}, {200, 7}}};
  for (const auto& [strength, level] : normal) EXPECT_EQ(EchoLevelOf(strength, false), level) << int(strength);
  const std::array<std::pair<std::uint8_t, std::uint8_t>, 4> bytes = {{{0, 0}, {1, 17}, {8, 136}, {15, 255}}};
  for (const auto& [strength, level] : bytes) EXPECT_EQ(EchoLevelOf(strength, true), level) << int(strength);
}

TEST(SpokeMapping, ResamplingKeepsALoneStrongEchoWhereverItFalls) {
  for (const int outputs : {464, 884}) {
    for (const std::size_t position : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{511},
                                       std::size_t{1022}, std::size_t{1023}}) {
      std::array<std::uint8_t, 1024> strengths{};
      strengths[position] = 15;
      std::vector<std::uint8_t> levels(static_cast<std::size_t>(outputs), 99);
      ResampleStrengths(strengths, levels, false);
      EXPECT_EQ(std::count(levels.begin(), levels.end(), 7), 1) << outputs << " at " << position;
      EXPECT_EQ(std::count(levels.begin(), levels.end(), 0), outputs - 1);
      const auto where = static_cast<std::size_t>(std::max_element(levels.begin(), levels.end()) - levels.begin());
      EXPECT_NEAR(static_cast<double>(where), (position + 0.5) * outputs / 1024, 1.0) << "echo kept at its distance";
    }
  }
}

TEST(SpokeMapping, RangeSettingIsTheLargestTableRangeWithinTheRecordedOne) {
  struct Case {
    double nauticalMiles;
    int unit;
    int index;
  };
  const Case cases[] = {
      {0.75, kNauticalMiles, 3},   // exactly a table range
      {1.0, kNauticalMiles, 3},    // between 0.75 and 1.5
      {0.05, kNauticalMiles, 0},   // below the smallest: the smallest
      {500.0, kNauticalMiles, 10}, // above the largest
      {1.0, kKilometres, 3},       // 1.852 km: 1.5 km
      {1.0, kStatuteMiles, 3},     // 1.15 statute miles: 0.75
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RangeIndexFor(c.nauticalMiles, c.unit), c.index) << c.nauticalMiles << " unit " << c.unit;
  }
}

// The module's row distance: the setting's distance × samples per row / samples spanning the setting.
double RowDistance(int rangeIndex, int unit, std::uint16_t rangeSampleCount, int sampleCount) {
  return RangeInNauticalMiles(rangeIndex, unit) * sampleCount / rangeSampleCount;
}

TEST(SpokeMapping, RowDistanceEqualsTheRecordedDistanceForTheChosenAndOtherSettings) {
  struct Case {
    std::uint32_t metres;
    double factor;
    int unit;
    int sampleCount;
  };
  const Case cases[] = {
      {1852, 1.0, kNauticalMiles, 464}, {2315, 1.0, kNauticalMiles, 884}, {2315, 0.5, kKilometres, 464},
      {2315, 2.0, kStatuteMiles, 884},  {100, 1.0, kNauticalMiles, 464},  {50000, 1.3, kKilometres, 464},
      {400000, 1.0, kNauticalMiles, 884},
  };
  for (const Case& c : cases) {
    const double recorded = RecordedNauticalMiles(c.metres, c.factor);
    EXPECT_DOUBLE_EQ(recorded, c.metres * c.factor / 1852.0);
    const int chosen = RangeIndexFor(recorded, c.unit);
    // The chosen setting, and the host's choice of a smaller or larger one.
    for (const int setting : {chosen, std::max(chosen - 1, 0), std::min(chosen + 2, kRangeCount - 1)}) {
      const std::uint16_t count = RangeSampleCountFor(RangeInNauticalMiles(setting, c.unit), recorded, c.sampleCount);
      EXPECT_NEAR(RowDistance(setting, c.unit, count, c.sampleCount), recorded, recorded * 0.01)
          << c.metres << " m × " << c.factor << ", setting " << setting;
    }
  }
}

TEST(SpokeMapping, RangeSampleCountStaysWithinWhatTheRecordCarries) {
  EXPECT_EQ(RangeSampleCountFor(200.0, 0.01, 884), 65535);
  EXPECT_EQ(RangeSampleCountFor(0.001, 100.0, 464), 1);
  EXPECT_EQ(RangeSampleCountFor(1.0, 0.0, 464), 464) << "no recorded distance: the row spans the setting";
}

class ReplayConfig : public testing::Test {
protected:
  SimulatorConfig Read(const std::string& lines) {
    std::ofstream(path_) << "[Radar]\n" << lines << "\n";
    return ReadSimulatorConfig(path_.string());
  }
  ScratchFolder folder_;
  std::filesystem::path path_ = folder_.File("replay.ini");
};

TEST_F(ReplayConfig, KeysParseWithinBoundsAndBadValuesKeepTheDefaults) {
  const SimulatorConfig set = Read(
      "Source = Replay\nCapture = rec/a.pcap.gz\nPace = 2.5\nAtEnd = stop\nBearingAlignment = -12.5\n"
      "RangeFactor = 0.5\nSpokes = 236.6.8.21:6486");
  EXPECT_EQ(set.source, SimulatorConfig::Source::kReplay);
  EXPECT_EQ(set.capturePath, (path_.parent_path() / "rec/a.pcap.gz").string()) << "relative to the file";
  EXPECT_DOUBLE_EQ(set.pace, 2.5);
  EXPECT_EQ(set.atEnd, SimulatorConfig::AtEnd::kStop);
  EXPECT_DOUBLE_EQ(set.bearingAlignmentDegrees, -12.5);
  EXPECT_DOUBLE_EQ(set.rangeFactor, 0.5);
  EXPECT_EQ(set.spokeStream, (SpokeStream{0xEC060815, 6486}));
  EXPECT_EQ(Read("Capture = /data/x.pcap").capturePath, "/data/x.pcap");
  EXPECT_DOUBLE_EQ(Read("Pace = 3\nPace = recorded").pace, 1.0);

  const SimulatorConfig bad = Read(
      "Source = radar\nPace = 0.05\nAtEnd = rewind\nBearingAlignment = 181\nRangeFactor = 2.5\nPace = fast\n"
      "Spokes = 236.6.8.21\nSpokes = 236.6.8:6486\nSpokes = 236.6.8.21:0\nSpokes = 236.6.8.21:65536\n"
      "Spokes = 236.6.8.21: 6486");
  EXPECT_EQ(bad.source, SimulatorConfig::Source::kSimulation);
  EXPECT_DOUBLE_EQ(bad.pace, 1.0);
  EXPECT_EQ(bad.atEnd, SimulatorConfig::AtEnd::kLoop);
  EXPECT_DOUBLE_EQ(bad.bearingAlignmentDegrees, 0.0);
  EXPECT_DOUBLE_EQ(bad.rangeFactor, 1.0);
  EXPECT_FALSE(bad.spokeStream);
}

}  // namespace
}  // namespace radarsim

namespace radarsim {
namespace {

// A line far longer than any line buffer is read whole: its tail never becomes a line of its own.
TEST_F(ReplayConfig, ALongLineIsReadWhole) {
  const std::string name = std::string(300, 'N') + " OpenResult = -5";
  const SimulatorConfig set = Read("Name = " + name);
  EXPECT_EQ(set.radarName, name);
  EXPECT_EQ(set.openResult, 0);
}

}  // namespace
}  // namespace radarsim

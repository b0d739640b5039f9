// The replay of a capture as sweeps, driven by a scripted capture and a clock the test moves.
#include "services/radar/replay_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>

#include "capture_builder.h"
#include "services/radar/own_ship_publisher.h"
#include "services/radar/range_table.h"

namespace radarsim {
namespace {

using Clock = RadarSource::Clock;

class ScriptedReader final : public CaptureReader {
public:
  ScriptedReader(const std::vector<CaptureEvent>& events, std::string endError)
      : events_(events), endError_(std::move(endError)) {}
  bool Next(CaptureEvent& event) override {
    if (next_ == events_.size()) return false;
    event = events_[next_++];
    return true;
  }
  const std::string& Error() const override { return next_ == events_.size() ? endError_ : none_; }
  const CaptureCounts& Counts() const override { return counts_; }

private:
  const std::vector<CaptureEvent>& events_;
  std::size_t next_ = 0;
  std::string endError_;
  std::string none_;
  CaptureCounts counts_;
};

// A capture the replay opens as often as it likes, until `opensAllowed` is spent.
struct Script {
  std::vector<CaptureEvent> events;
  std::string endError;
  int opens = 0;
  int opensAllowed = INT_MAX;

  CaptureOpener Opener() {
    return [this](const CaptureStreams&, std::string& error) -> std::unique_ptr<CaptureReader> {
      if (opens == opensAllowed) {
        error = "gone";
        return nullptr;
      }
      ++opens;
      return std::make_unique<ScriptedReader>(events, endError);
    };
  }
  void AddSpoke(double seconds, std::uint16_t angle, std::uint32_t metres = 1852, std::uint16_t heading = 0) {
    CaptureEvent event;
    event.seconds = seconds;
    event.spoke.angle = angle;
    event.spoke.rangeMetres = metres;
    event.spoke.headingWord = heading;
    event.spoke.strengths[512] = 15;
    events.push_back(event);
  }
  // Whole turns of 2048 spokes, 2.5 seconds a turn.
  void AddTurns(int turns) {
    for (int n = 0; n < turns * 2048; ++n) AddSpoke(n * 2.5 / 2048, static_cast<std::uint16_t>(n % 2048 * 2));
  }
};

struct Delivered {
  std::uint16_t angle;
  std::int16_t heading;
  std::uint16_t sampleCount;
  std::uint16_t rangeSampleCount;
  std::uint8_t strongest;
};

// Plays a replay the way the radar's thread does, in steps of wall time.
class Player {
public:
  explicit Player(ReplaySource& source) : source_(source) { source_.StartTurning(now_); }

  void Play(double wallSeconds, double step = 0.1) {
    for (double t = 0; t < wallSeconds - 1e-9; t += step) {
      now_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(step));
      for (int guard = 0; guard < 10000 && source_.TakeDue(now_); ++guard) {
        const SourceOutcome outcome = source_.Deliver(settings, [this](const SweepRecord& record) {
          sweeps.push_back({record.angle, record.heading, record.sampleCount, record.rangeSampleCount,
                            *std::max_element(record.samples, record.samples + record.sampleCount)});
        });
        turns += outcome.turns;
        lostSpokes += outcome.lostSpokes;
        if (outcome.rangeIndex) {
          settings.rangeIndex = *outcome.rangeIndex;
          ++rangeChanges;
        }
      }
    }
  }
  void Pause(double wallSeconds) {
    now_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(wallSeconds));
    source_.StartTurning(now_);
  }

  SweepSettings settings;
  std::vector<Delivered> sweeps;
  int turns = 0;
  int rangeChanges = 0;
  int lostSpokes = 0;

private:
  ReplaySource& source_;
  Clock::time_point now_{};
};

std::unique_ptr<ReplaySource> OpenReplay(Script& script, ReplaySettings settings = {}, bool imoMode = false) {
  std::string error;
  auto source = ReplaySource::Open(settings, imoMode, script.Opener(), error);
  EXPECT_TRUE(source) << error;
  return source;
}

TEST(ReplaySource, EveryRowOfATurnIsWrittenOnceAndTurnsAreCountedAtNorth) {
  for (const bool imoMode : {false, true}) {
    Script script;
    script.AddTurns(3);
    ReplaySettings settings;
    settings.loop = false;
    settings.alignmentUnits = 1001;  // odd: every spoke starts inside a normal-mode row
    auto source = OpenReplay(script, settings, imoMode);
    Player player(*source);
    player.Play(8.0);
    const int rows = imoMode ? 8192 : 4096;
    ASSERT_EQ(player.sweeps.size(), 3u * rows) << imoMode;
    std::map<int, int> writes;  // row of the middle turn to times written
    for (std::size_t n = rows; n < 2u * rows; ++n) ++writes[player.sweeps[n].angle * rows / 8192];
    EXPECT_EQ(writes.size(), static_cast<std::size_t>(rows));
    EXPECT_TRUE(std::all_of(writes.begin(), writes.end(), [](const auto& row) { return row.second == 1; }));
    // The alignment moves north away from the spokes' zero: the sweeps cross it three times.
    EXPECT_EQ(player.turns, 3) << imoMode;
    const Delivered& first = player.sweeps.front();
    EXPECT_EQ(first.angle, 1001);
    EXPECT_EQ(first.sampleCount, imoMode ? 884 : 464);
    EXPECT_EQ(first.strongest, imoMode ? 255 : 7);
    EXPECT_TRUE(source->Finished());
  }
}

TEST(ReplaySource, ASpokeWaitsForTheNextAndALostStretchIsNotSmeared) {
  Script script;
  script.AddSpoke(0.0, 100, 1852, 0x4000 | 7);
  script.AddSpoke(1.0, 102);
  script.AddSpoke(2.0, 400);  // 149 spokes lost
  script.AddSpoke(3.0, 402);
  ReplaySettings settings;
  settings.loop = false;
  auto source = OpenReplay(script, settings);
  Player player(*source);
  player.Play(0.5);
  EXPECT_TRUE(player.sweeps.empty()) << "the first spoke is held until the next arrives";
  player.Play(1.0);
  ASSERT_EQ(player.sweeps.size(), 2u);
  EXPECT_EQ(player.sweeps[0].angle, 200);
  EXPECT_EQ(player.sweeps[1].angle, 202);
  EXPECT_EQ(player.sweeps[0].heading, 14);
  player.Play(1.0);
  ASSERT_EQ(player.sweeps.size(), 4u) << "the spoke before the gap keeps its own width";
  EXPECT_EQ(player.sweeps[3].heading, -1);
  player.Play(2.0);
  ASSERT_EQ(player.sweeps.size(), 8u) << "the last spoke is flushed at the end";
  EXPECT_EQ(player.sweeps[7].angle, 806);
}

TEST(ReplaySource, PlaysAtThePaceAndItsClockStopsWhileTheRadarDoesNotTransmit) {
  for (const double pace : {0.5, 1.0, 4.0}) {
    Script script;
    for (int second = 0; second <= 40; ++second) {
      script.AddSpoke(second + 0.5, static_cast<std::uint16_t>(second * 2));
    }
    ReplaySettings settings;
    settings.pace = pace;
    auto source = OpenReplay(script, settings);
    Player player(*source);
    player.Play(2.0);
    EXPECT_NEAR(source->PlayedSeconds(), 2.0 * pace, 1e-6);
    // The spokes recorded within 2 × pace seconds are out but for the one held back; two rows each.
    const std::size_t played = player.sweeps.size();
    EXPECT_EQ(played, 2u * (static_cast<std::size_t>(2.0 * pace + 0.5) - 1)) << pace;
    player.Pause(30.0);
    EXPECT_EQ(player.sweeps.size(), played);
    player.Play(1.0);
    EXPECT_NEAR(source->PlayedSeconds(), 3.0 * pace, 1e-6) << "standby does not count";
  }
}

TEST(ReplaySource, AtTheEndStopsOrStartsOverAfterTheLastEvent) {
  Script script;
  script.AddSpoke(0.0, 0);
  script.AddSpoke(1.0, 2);
  script.AddSpoke(2.0, 4);
  {
    ReplaySettings settings;
    settings.loop = false;
    auto source = OpenReplay(script, settings);
    Player player(*source);
    player.Play(10.0);
    EXPECT_TRUE(source->Finished());
    EXPECT_EQ(player.sweeps.size(), 6u);
    EXPECT_EQ(script.opens, 2) << "a look for the first spoke, then the play";
  }
  script.opens = 0;
  auto source = OpenReplay(script);
  Player player(*source);
  player.Play(7.5);
  // Passes of two seconds start at 0, 2, 4 and 6: eleven spokes due, the last one held.
  EXPECT_FALSE(source->Finished());
  EXPECT_EQ(player.sweeps.size(), 20u);
  EXPECT_EQ(script.opens, 5);
  EXPECT_EQ(player.turns, 3) << "each pass starts over at north";
}

// Stops rather than spinning on a capture that cannot be opened again or that has no length.
TEST(ReplaySource, ALoopThatCannotGoOnStops) {
  Script vanishing;
  vanishing.AddTurns(1);
  vanishing.opensAllowed = 2;
  auto source = OpenReplay(vanishing);
  Player player(*source);
  player.Play(5.0);
  EXPECT_TRUE(source->Finished());
  EXPECT_EQ(player.sweeps.size(), 4096u);

  Script instant;
  instant.AddSpoke(0.0, 10);
  instant.AddSpoke(0.0, 12);
  auto still = OpenReplay(instant);
  Player stillPlayer(*still);
  stillPlayer.Play(1.0);
  EXPECT_TRUE(still->Finished());
  EXPECT_EQ(stillPlayer.sweeps.size(), 4u);
}

TEST(ReplaySource, OpenFailsWithAReasonForACaptureThatCannotBeOpenedOrHoldsNoSpoke) {
  std::string error;
  Script unreadable;
  unreadable.opensAllowed = 0;
  EXPECT_FALSE(ReplaySource::Open({}, false, unreadable.Opener(), error));
  EXPECT_EQ(error, "gone");

  Script navigationOnly;
  CaptureEvent fix;
  fix.kind = CaptureEvent::Kind::kNavigation;
  navigationOnly.events.push_back(fix);
  navigationOnly.endError = "truncated";
  EXPECT_FALSE(ReplaySource::Open({}, false, navigationOnly.Opener(), error));
  EXPECT_NE(error.find("no radar spokes"), std::string::npos) << error;
  EXPECT_NE(error.find("truncated"), std::string::npos) << error;
}

TEST(ReplaySource, TheRecordedRangeSelectsTheSettingAndEverySweepKeepsTheRecordedDistance) {
  Script script;
  script.AddSpoke(0.0, 0, 1852);   // 1 NM: the 0.75 NM range
  script.AddSpoke(1.0, 2, 1852);
  script.AddSpoke(2.0, 4, 1852);
  script.AddSpoke(3.0, 6, 5556);   // 3 NM
  script.AddSpoke(4.0, 8, 5556);
  ReplaySettings settings;
  settings.loop = false;
  settings.rangeFactor = 1.5;
  auto source = OpenReplay(script, settings);
  ASSERT_EQ(source->StartRangeIndex(), std::optional<int>(4)) << "1.5 NM";
  Player player(*source);
  player.settings.rangeIndex = 4;
  const auto rowDistance = [&player](const Delivered& sweep) {
    return RangeInNauticalMiles(player.settings.rangeIndex, player.settings.rangeUnit) * sweep.sampleCount /
           sweep.rangeSampleCount;
  };
  player.Play(1.5);
  ASSERT_EQ(player.sweeps.size(), 2u);
  EXPECT_NEAR(rowDistance(player.sweeps.back()), 1.5, 0.005);

  player.settings.rangeIndex = 6;  // the host's choice stands while the recording keeps its range
  player.Play(1.0);
  ASSERT_EQ(player.sweeps.size(), 4u);
  EXPECT_NEAR(rowDistance(player.sweeps.back()), 1.5, 0.005);
  EXPECT_EQ(player.rangeChanges, 0);

  player.Play(1.0);
  EXPECT_EQ(player.rangeChanges, 1);
  EXPECT_EQ(player.settings.rangeIndex, 5) << "4.5 NM: the 3 NM range";
  player.Play(2.0);
  ASSERT_EQ(player.sweeps.size(), 10u);
  EXPECT_NEAR(rowDistance(player.sweeps.back()), 4.5, 0.01);
}

TEST(ReplaySource, SpokesNotToDrawLeaveTheirRowsAndScanCounterJumpsCountLostSpokes) {
  struct Sent {
    std::uint16_t angle;
    std::uint8_t status;
    std::uint8_t scanCounter;
  };
  const Sent sent[] = {{0, 0x02, 10}, {2, 0x12, 11}, {4, 0x01, 12}, {6, 0x02, 15},
                       {8, 0x02, 15}, {10, 0x02, 13}, {12, 0x02, 16}};
  Script script;
  for (const Sent& spoke : sent) {
    script.AddSpoke(0.1 * static_cast<double>(script.events.size()), spoke.angle);
    script.events.back().spoke.status = spoke.status;
    script.events.back().spoke.scanCounter = spoke.scanCounter;
  }
  ReplaySettings settings;
  settings.loop = false;
  auto source = OpenReplay(script, settings);
  Player player(*source);
  player.Play(2.0);
  std::vector<std::uint16_t> angles;
  for (const Delivered& sweep : player.sweeps) angles.push_back(sweep.angle);
  // The spoke at 4 is not drawn; a repeated counter (15) loses nothing, and a late one (13) is drawn and
  // no longer lost: of the two skipped, only 14 stays lost.
  EXPECT_EQ(angles, (std::vector<std::uint16_t>{0, 2, 4, 6, 12, 14, 16, 18, 20, 22, 24, 26}));
  EXPECT_EQ(player.lostSpokes, 1);
}

// Captures written here: spoke frames to the groups of the radar family, recognised on any port.
TEST(ReplaySource, PlaysTheStreamChosenOrTheFirstFoundWithItsRangeWords) {
  using namespace capture_test;
  const SpokeStream older{0xEC060708, 6678}, first{0xEC060813, 6483}, second{0xEC060815, 6486};
  const SpokeHeader shortRange{.largeRange = 0x80, .smallRange = 13752}, longRange{};  // 3,438 m, 25,465 m
  const auto capture = [](std::vector<std::pair<SpokeStream, SpokeHeader>> streams) {
    PcapWriter writer;
    for (std::uint16_t frame = 0; frame < 4; ++frame) {
      for (auto [stream, header] : streams) {
        header.angle = static_cast<std::uint16_t>(2 * frame);
        writer.Add(Ethernet(Ipv4(Udp(stream.port, SpokeFrameOf({header})), 1, 0, false, stream.address)), frame);
      }
    }
    return writer.bytes;
  };
  const Bytes olderOnly = capture({{older, shortRange}}), dual = capture({{first, longRange}, {second, shortRange}});
  const struct {
    const Bytes& capture;
    std::optional<SpokeStream> chosen;
    std::string played;  // or the reason it cannot play
    int startRange;      // 0: it cannot
    double recordedMiles;
  } cases[] = {
      {olderOnly, std::nullopt, "236.6.7.8:6678", 4, 3438 / 1852.0},
      {dual, std::nullopt, "236.6.8.19:6483", 7, 25465 / 1852.0},
      {dual, second, "236.6.8.21:6486", 4, 3438 / 1852.0},
      {dual, older, "no radar spokes to draw to 236.6.7.8:6678 in the capture; its spoke streams: "
                    "236.6.8.19:6483, 236.6.8.21:6486", 0, 0},
  };
  for (const auto& test : cases) {
    ReplaySettings settings;
    settings.loop = false;
    settings.spokes = test.chosen;
    std::string error;
    auto source = ReplaySource::Open(settings, false, [&test](const CaptureStreams& streams, std::string& reason) {
      return CaptureReader::OpenMemory("capture", test.capture, reason, streams);
    }, error);
    ASSERT_EQ(source == nullptr, test.startRange == 0) << test.played;
    if (!source) {
      EXPECT_EQ(error, test.played);
      continue;
    }
    EXPECT_EQ(source->SpokeStreamName(), test.played);
    ASSERT_EQ(source->StartRangeIndex(), test.startRange) << test.played;
    Player player(*source);
    player.settings.rangeIndex = test.startRange;
    player.Play(5.0);
    ASSERT_EQ(player.sweeps.size(), 8u) << test.played;
    const double rowMiles = RangeInNauticalMiles(test.startRange, 0) * 464 / player.sweeps[0].rangeSampleCount;
    EXPECT_NEAR(rowMiles, test.recordedMiles, 0.005) << test.played;
  }
}

TEST(OwnShipPublisher, NavigationSentencesUpdateTheFixPartByPartAndAHalfPositionIsIgnored) {
  ClearOwnShipFix();
  const std::uint64_t cleared = CurrentOwnShipFix().updates;
  EXPECT_EQ(CurrentOwnShipFix().valid, 0u);
  PublishNavigation({53.17, 5.41, std::nullopt});
  PublishNavigation({std::nullopt, std::nullopt, 296.0});
  PublishNavigation({1.0, std::nullopt, std::nullopt});
  const OwnShipFix fix = CurrentOwnShipFix();
  EXPECT_EQ(fix.valid, kOwnShipPositionValid | kOwnShipHeadingValid);
  EXPECT_DOUBLE_EQ(fix.latitudeDegrees, 53.17);
  EXPECT_DOUBLE_EQ(fix.longitudeDegrees, 5.41);
  EXPECT_DOUBLE_EQ(fix.headingDegrees, 296.0);
  EXPECT_EQ(fix.updates, cleared + 2);
  ClearOwnShipFix();
  EXPECT_EQ(CurrentOwnShipFix().valid, 0u);
  EXPECT_EQ(CurrentOwnShipFix().updates, cleared + 3);
}

}  // namespace
}  // namespace radarsim

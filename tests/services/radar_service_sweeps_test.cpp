// The simulated radar's sweeps and callbacks, through the staged service library.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "radar_service_fixture.h"

namespace {

using namespace std::chrono_literals;

// Levels 8 to 15 are trail marks.
bool HasTrail(const std::vector<std::vector<std::uint8_t>>& sweeps) {
  return std::any_of(sweeps.begin(), sweeps.end(), [](const auto& samples) {
    return std::any_of(samples.begin(), samples.end(), [](std::uint8_t level) { return level >= 8; });
  });
}

// Counts the sweeps delivered during `window` after the first one arrived.
int SweepsDuring(std::chrono::milliseconds window) {
  const int before = Sweeps().Count();
  std::this_thread::sleep_for(window);
  return Sweeps().Count() - before;
}

void ExpectConsecutiveAngles(const std::vector<SweepSummary>& sweeps, int step) {
  ASSERT_GT(sweeps.size(), 1u);
  for (std::size_t n = 1; n < sweeps.size(); ++n) {
    ASSERT_EQ((sweeps[n].angle - sweeps[n - 1].angle + 8192) % 8192, step) << "after sweep " << n - 1;
  }
}

using RadarSweeps = RadarServiceTest;

TEST_F(RadarSweeps, NormalModeTurnsAtTheConfiguredRateInStepsOfTwoWithLevelsUpTo15) {
  OpenWith("WarmupSeconds = 0\nRotationRate = 60\nRange = 6");
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());

  // 60 turns a minute of 4096 sweeps: 4096 a second. The bounds only catch a wrong rate, not jitter.
  const int perSecond = SweepsDuring(1000ms);
  EXPECT_GT(perSecond, 4096 / 4);
  EXPECT_LT(perSecond, 4096 * 3 / 2);

  const std::vector<SweepSummary> sweeps = Sweeps().Summaries();
  ExpectConsecutiveAngles(sweeps, 2);
  bool echoes = false;
  for (const SweepSummary& sweep : sweeps) {
    EXPECT_EQ(sweep.kind, 1);
    EXPECT_EQ(sweep.sampleCount, 464);
    EXPECT_EQ(sweep.rangeSampleCount, 464);
    EXPECT_EQ(sweep.heading, -1);
    EXPECT_LE(sweep.strongest, 15);
    EXPECT_NE(sweep.thread, std::this_thread::get_id());
    echoes |= sweep.strongest > 0;
  }
  EXPECT_TRUE(echoes);
}

TEST_F(RadarSweeps, ImoModeSendsEveryAngleWith884ByteStrengths) {
  OpenWith("WarmupSeconds = 0\nRotationRate = 30\nRange = 6\nHeading = 90", true);
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());

  const int perSecond = SweepsDuring(1000ms);  // 30 turns a minute of 8192 sweeps
  EXPECT_GT(perSecond, 4096 / 4);
  EXPECT_LT(perSecond, 4096 * 3 / 2);

  const std::vector<SweepSummary> sweeps = Sweeps().Summaries();
  ExpectConsecutiveAngles(sweeps, 1);
  std::uint8_t strongest = 0;
  for (const SweepSummary& sweep : sweeps) {
    EXPECT_EQ(sweep.sampleCount, 884);
    EXPECT_EQ(sweep.rangeSampleCount, 884);
    EXPECT_EQ(sweep.heading, 2048);
    strongest = std::max(strongest, sweep.strongest);
  }
  EXPECT_GT(strongest, 15) << "strengths are bytes, not levels";
}

TEST_F(RadarSweeps, SweepsOnlyWhileTransmitting) {
  OpenWith("WarmupSeconds = 0\nRotationRate = 120");
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_EQ(Radar().AddChangeCallback(RecordChange), 0);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(Sweeps().Count(), 0) << "standby";

  ASSERT_NO_FATAL_FAILURE(StartTransmitting());
  for (int state : {1, 3, 0}) {
    // The change is announced once the batch of sweeps under way is out; none may follow.
    const int changes = ChangeCount();
    ASSERT_EQ(RequestTransmitState(state), 0);
    WaitForChange(changes);
    EXPECT_EQ(SweepsDuring(200ms), 0) << "state " << state;
    ASSERT_EQ(RequestTransmitState(2), 0) << "state " << state;
    ASSERT_TRUE(WaitFor([before = Sweeps().Count()] { return Sweeps().Count() > before; }, 3s));
  }
}

TEST_F(RadarSweeps, OpenFailsWithTheConfiguredCodeAndLeavesTheRadarSilent) {
  OpenWith("WarmupSeconds = 0\nRotationRate = 120");
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());

  for (int code : {-5, 3}) {
    Configure("OpenResult = " + std::to_string(code));
    EXPECT_EQ(Open(false), code);
    EXPECT_EQ(StateField("RAD_SOURCE_STATUS"), 0);
    EXPECT_EQ(StateField("RAD_TXSTBY"), 0);
    EXPECT_NE(RequestTransmitState(2), 0);
    const int settled = Sweeps().Count();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Sweeps().Count(), settled);
  }
  EXPECT_NE(Service().Open(nullptr), 0);
}

// Callbacks for the removal test; a callback is a plain function, so what it sees lives here.
std::atomic<bool> slowInside{false};
std::atomic<int> slowCalls{0};
void SlowCallback(const SweepRecord*) {
  slowInside = true;
  ++slowCalls;
  std::this_thread::sleep_for(20ms);
  slowInside = false;
}

SorVikRadar* selfRemovingRadar = nullptr;
std::atomic<int> selfRemovingCalls{0};
std::atomic<int> selfRemoveAnswer{99};
void SelfRemovingCallback(const SweepRecord*) {
  if (++selfRemovingCalls == 10) {
    selfRemoveAnswer = selfRemovingRadar->RemoveSweepCallback(SelfRemovingCallback);
  }
}

std::atomic<int> lastAngle{-1};
std::atomic<int> repeatedAngles{0};
void TwiceRegisteredCallback(const SweepRecord* sweep) {
  if (lastAngle.exchange(sweep->angle) == sweep->angle) ++repeatedAngles;
}

TEST_F(RadarSweeps, RemovedCallbacksAreNeverCalledAgain) {
  OpenWith("WarmupSeconds = 0\nRotationRate = 120");
  selfRemovingRadar = &Radar();
  EXPECT_NE(Radar().AddSweepCallback(nullptr), 0);
  ASSERT_EQ(Radar().AddSweepCallback(SelfRemovingCallback), 0);
  ASSERT_EQ(Radar().AddSweepCallback(TwiceRegisteredCallback), 0);
  ASSERT_EQ(Radar().AddSweepCallback(TwiceRegisteredCallback), 0);
  ASSERT_EQ(Radar().AddSweepCallback(SlowCallback), 0);
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());

  // From inside: the call returns at once and the callback is not called again.
  ASSERT_TRUE(WaitFor([] { return selfRemovingCalls >= 10 && slowCalls >= 3; }, 5s));
  EXPECT_EQ(selfRemoveAnswer, 0);
  // From another thread while the callback runs: Remove waits for that call to end.
  ASSERT_TRUE(WaitFor([] { return slowInside.load(); }, 2s));
  ASSERT_EQ(Radar().RemoveSweepCallback(SlowCallback), 0);
  EXPECT_FALSE(slowInside);
  const int slowCallsAtRemoval = slowCalls;

  const int before = Sweeps().Count();
  ASSERT_TRUE(WaitFor([before] { return Sweeps().Count() > before + 100; }, 3s)) << "the others go on";
  EXPECT_EQ(slowCalls, slowCallsAtRemoval);
  EXPECT_EQ(selfRemovingCalls, 10);
  EXPECT_EQ(repeatedAngles, 0) << "a callback registered twice is called once per sweep";

  EXPECT_EQ(Radar().RemoveSweepCallback(TwiceRegisteredCallback), 0);
  EXPECT_NE(Radar().RemoveSweepCallback(TwiceRegisteredCallback), 0);
  EXPECT_NE(Radar().RemoveSweepCallback(SelfRemovingCallback), 0);
}

TEST_F(RadarSweeps, TrailsFollowMovingVesselsUntilTheTrailTimeIsZero) {
  // Vessels moving sixty times faster leave trails within a few turns.
  OpenWith("WarmupSeconds = 0\nRotationRate = 120\nTimeLapse = 60\nRange = 4");
  ASSERT_EQ(Radar().AddChangeCallback(RecordChange), 0);
  ASSERT_EQ(Radar().SetTrailTime(120), 0);
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());
  ASSERT_TRUE(WaitFor([] { return Sweeps().Count() > 3 * 4096; }, 10s));

  Sweeps().Clear(4096);
  ASSERT_TRUE(WaitFor([] { return Sweeps().Count() >= 4096; }, 10s));
  EXPECT_TRUE(HasTrail(Sweeps().KeptSamples()));

  // The change is announced between two batches of sweeps; every later sweep goes without trails.
  const int changes = ChangeCount();
  ASSERT_EQ(Radar().SetTrailTime(0), 0);
  WaitForChange(changes);
  Sweeps().Clear(4096);
  ASSERT_TRUE(WaitFor([] { return Sweeps().Count() >= 4096; }, 10s));
  EXPECT_FALSE(HasTrail(Sweeps().KeptSamples()));
}

TEST_F(RadarSweeps, TheSameSeedGivesTheSameScene) {
  const auto firstTurn = [this](const std::string& seed) {
    Radar().RemoveSweepCallback(RecordSweep);
    OpenWith("WarmupSeconds = 0\nRotationRate = 240\nRange = 6\nSeed = " + seed);
    Sweeps().Clear(4096);
    EXPECT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
    StartTransmitting();
    EXPECT_TRUE(WaitFor([] { return Sweeps().Count() >= 4096; }, 10s));
    return Sweeps().KeptSamples();
  };
  const auto first = firstTurn("7");
  ASSERT_EQ(first.size(), 4096u);
  EXPECT_EQ(firstTurn("7"), first);
  EXPECT_NE(firstTurn("8"), first);
}

}  // namespace

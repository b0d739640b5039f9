// The service replaying the capture recorded at sea, through the staged service library.
#include <dlfcn.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "radar_service_fixture.h"
#include "services/radar/own_ship_fix.h"

namespace {

using namespace std::chrono_literals;

constexpr double kRecordedNauticalMiles = 25465 / 1852.0;

std::string ReplayOf(const std::string& settings) {
  return std::string("WarmupSeconds = 0\nSource = replay\nCapture = ") + SORVIK_TEST_CAPTURE + "\n" + settings;
}

// Waits until no sweep arrived for a while; false when sweeps still flow at `timeout`.
bool WaitForSweepsToEnd(std::chrono::milliseconds timeout) {
  int seen = -1;
  return WaitFor(
      [&seen] {
        const int now = Sweeps().Count();
        if (now == seen) return true;
        seen = now;
        std::this_thread::sleep_for(300ms);
        return false;
      },
      timeout);
}

int Wraps(const std::vector<SweepSummary>& sweeps) {
  int wraps = 0;
  for (std::size_t n = 1; n < sweeps.size(); ++n) wraps += sweeps[n].angle < sweeps[n - 1].angle;
  return wraps;
}

OwnShipFix ReadFix() {
  OwnShipFix fix{};
  void* library = dlopen(ServiceLibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!library) {
    ADD_FAILURE() << "the service library is not loaded";
    return fix;
  }
  auto read = reinterpret_cast<ReadOwnShipFixFunction>(dlsym(library, kReadOwnShipFixEntry));
  dlclose(library);
  if (!read) {
    ADD_FAILURE() << "no " << kReadOwnShipFixEntry;
    return fix;
  }
  read(&fix);
  return fix;
}

using RadarReplay = RadarServiceTest;

TEST_F(RadarReplay, PlaysTheCaptureOnceAtThePaceOverEveryRowWithItsRangeAndOwnShip) {
  OpenWith(ReplayOf("Pace = 4\nAtEnd = stop"));
  EXPECT_EQ(ReadFix().valid, 0u) << "no fix before the recording plays";
  EXPECT_EQ(StateField("RAD_RANGE"), 7) << "12 NM: the largest range within the recorded 13.75 NM";
  int range = -1, unit = -1;
  ASSERT_EQ(Radar().GetCurrentRange(&range, &unit), 0);
  EXPECT_EQ(range, 7) << "the range each sweep's callback asks for, read without the radar's lock";
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());
  ASSERT_TRUE(WaitForSweepsToEnd(10s)) << "a capture that stops at its end";
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() - 0.3;
  // 6.4 recorded seconds at four times the pace.
  EXPECT_GT(seconds, 1.0);
  EXPECT_LT(seconds, 5.0);

  const std::vector<SweepSummary> sweeps = Sweeps().Summaries();
  ASSERT_GT(sweeps.size(), 8192u);
  const double rowDistance = Radar().RangeToDistance(7, 0) * 464 / sweeps.front().rangeSampleCount;
  EXPECT_NEAR(rowDistance, kRecordedNauticalMiles, kRecordedNauticalMiles * 0.005);
  EXPECT_EQ(sweeps.front().heading, 3368 * 2) << "296 degrees";
  for (const SweepSummary& sweep : sweeps) {
    ASSERT_EQ(sweep.sampleCount, 464);
    ASSERT_LE(sweep.strongest, 7);
  }
  // Every row of the first whole turn is written.
  std::size_t first = 1;
  while (first < sweeps.size() && sweeps[first].angle >= sweeps[first - 1].angle) ++first;
  std::set<int> rows;
  for (std::size_t n = first; n < sweeps.size() && (n == first || sweeps[n].angle >= sweeps[n - 1].angle); ++n) {
    rows.insert(sweeps[n].angle / 2);
  }
  EXPECT_EQ(rows.size(), 4096u);
  EXPECT_GE(Wraps(sweeps), 2);

  const OwnShipFix fix = ReadFix();
  EXPECT_EQ(fix.valid, kOwnShipPositionValid | kOwnShipHeadingValid);
  EXPECT_NEAR(fix.latitudeDegrees, 53.15, 0.15) << "off Harlingen";
  EXPECT_NEAR(fix.longitudeDegrees, 5.35, 0.2);
  EXPECT_NEAR(fix.headingDegrees, 296.0, 3.0);

  // What the radar feature tells of the stream played.
  const FeaturePtr state = State();
  ASSERT_TRUE(state);
  EXPECT_STREQ(state->GetFieldAsString("RAD_SPOKE_STREAM"), "236.6.9.51:7059");
  EXPECT_EQ(StateField("RAD_LOST_SPOKES"), 0);
}

TEST_F(RadarReplay, LoopsInTypeApprovedModeWithTheRangeCalibrationFactor) {
  OpenWith(ReplayOf("Pace = 10\nAtEnd = loop\nRangeFactor = 1.5"), true);
  EXPECT_EQ(StateField("RAD_RANGE"), 7) << "12 NM within 20.6 NM";
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_NO_FATAL_FAILURE(StartTransmitting());
  // A pass of 6528 spokes gives four rows each; a capture that stopped would give no more.
  EXPECT_TRUE(WaitFor([] { return Sweeps().Count() > 2 * 6528 * 4; }, 10s)) << Sweeps().Count();
  EXPECT_EQ(ReadFix().valid, kOwnShipPositionValid | kOwnShipHeadingValid) << "read while it plays";
  const std::vector<SweepSummary> sweeps = Sweeps().Summaries();
  std::uint8_t strongest = 0;
  for (const SweepSummary& sweep : sweeps) {
    ASSERT_EQ(sweep.sampleCount, 884);
    strongest = std::max(strongest, sweep.strongest);
  }
  EXPECT_GT(strongest, 7) << "type-approved sweeps carry byte strengths";
  const double rowDistance = Radar().RangeToDistance(7, 0) * 884 / sweeps.back().rangeSampleCount;
  EXPECT_NEAR(rowDistance, kRecordedNauticalMiles * 1.5, kRecordedNauticalMiles * 0.01);
}

TEST_F(RadarReplay, OpenFailsLoudlyWhenTheCaptureCannotBeReplayed) {
  const std::string missing = testing::TempDir() + "no_such_capture.pcap.gz";
  for (const std::string& settings : {"WarmupSeconds = 0\nSource = replay\nCapture = " + missing,
                                      std::string("WarmupSeconds = 0\nSource = replay")}) {
    Configure(settings);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Open(false), -6);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("capture"), std::string::npos) << said;
    EXPECT_EQ(StateField("RAD_SOURCE_STATUS"), 0) << "the radar stays closed";
  }
}

}  // namespace

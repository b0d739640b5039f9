// The simulated radar's state feature, its power sequence, and its range and label queries, through the
// staged service library.
#include <chrono>
#include <string>
#include <thread>

#include "radar_service_fixture.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kIntegerFields[] = {
    "RAD_RANGE",      "RAD_RANGE_UNIT",    "RAD_PULSE",  "RAD_ANTENNA", "RAD_MODEL", "RAD_SOURCE_STATUS",
    "RAD_WARMUPTIME", "RAD_WATCHMAN_TIME", "RAD_TXSTBY", "RAD_TRAIL_TIME", "RAD_GAIN", "RAD_SEA",
    "RAD_RAIN",       "RAD_TUNE"};

using RadarState = RadarServiceTest;

TEST_F(RadarState, FeatureCarriesTheConfiguredRadarAsIntegerFieldsOfOneSharedDefinition) {
  OpenWith("WarmupSeconds = 0\nRange = 7\nRangeUnit = 1\nAntenna = 5\nModel = 1");
  FeaturePtr state = State();
  ASSERT_TRUE(state);
  for (const char* name : kIntegerFields) {
    const int index = state->GetFieldIndex(name);
    ASSERT_GE(index, 0) << name;
    EXPECT_EQ(state->GetFieldDefnRef(index)->GetType(), OFTInteger) << name;
    EXPECT_TRUE(state->IsFieldSetAndNotNull(index)) << name;
  }
  EXPECT_EQ(state->GetFieldAsInteger("RAD_RANGE"), 7);
  EXPECT_EQ(state->GetFieldAsInteger("RAD_RANGE_UNIT"), 1);
  EXPECT_EQ(state->GetFieldAsInteger("RAD_ANTENNA"), 5);
  EXPECT_EQ(state->GetFieldAsInteger("RAD_MODEL"), 1);
  EXPECT_EQ(state->GetFieldAsInteger("RAD_SOURCE_STATUS"), 1);
  EXPECT_EQ(state->GetFieldAsInteger("RAD_TXSTBY"), 1);
  EXPECT_EQ(state->GetFieldAsInteger("RAD_TRAIL_TIME"), 0);

  // Every feature refers to the one definition and holds a reference to it while it lives.
  OGRFeatureDefn* definition = state->GetDefnRef();
  const int references = definition->GetReferenceCount();
  {
    FeaturePtr another = State();
    EXPECT_EQ(another->GetDefnRef(), definition);
    EXPECT_EQ(definition->GetReferenceCount(), references + 1);
  }
  EXPECT_EQ(definition->GetReferenceCount(), references);
  state.reset();
  EXPECT_EQ(State()->GetFieldAsInteger("RAD_RANGE"), 7) << "the definition outlives its features";
}

TEST_F(RadarState, PowersOnThroughAWarmUpCountdownIntoStandby) {
  OpenWith("WarmupSeconds = 2");
  ASSERT_EQ(Radar().AddChangeCallback(RecordChange), 0);
  EXPECT_EQ(StateField("RAD_SOURCE_STATUS"), 1);
  EXPECT_EQ(StateField("RAD_TXSTBY"), 0);
  const int warmup = StateField("RAD_WARMUPTIME");
  EXPECT_TRUE(warmup == 2 || warmup == 1) << warmup;
  EXPECT_EQ(RequestTransmitState(2), 1) << "no transmission while warming up";
  EXPECT_EQ(StateField("RAD_TXSTBY"), 0);

  // Each second of the countdown and the arrival in standby are announced.
  ASSERT_TRUE(WaitFor([this] { return StateField("RAD_TXSTBY") == 1; }, 4s));
  EXPECT_EQ(StateField("RAD_WARMUPTIME"), 0);
  EXPECT_GE(ChangeCount(), warmup);

  const int changes = ChangeCount();
  EXPECT_EQ(RequestTransmitState(2), 0);
  EXPECT_EQ(StateField("RAD_TXSTBY"), 2);
  WaitForChange(changes);
  // Switched off, the radar warms up again before it can transmit.
  EXPECT_EQ(RequestTransmitState(0), 0);
  EXPECT_EQ(RequestTransmitState(1), 0);
  EXPECT_EQ(StateField("RAD_TXSTBY"), 0);
  EXPECT_GT(StateField("RAD_WARMUPTIME"), 0);
}

TEST_F(RadarState, WatchmanWakesTheRadarFromStandbyForAFewTurns) {
  OpenWith("WarmupSeconds = 0\nRotationRate = 240\nWatchmanLookTurns = 2");
  ASSERT_EQ(Radar().AddSweepCallback(RecordSweep), 0);
  ASSERT_EQ(Radar().SetStateFeature(Request("RAD_WATCHMAN_TIME", 1).get(), 0), 0);
  EXPECT_EQ(StateField("RAD_WATCHMAN_TIME"), 1);
  EXPECT_EQ(StateField("RAD_TXSTBY"), 1);

  // After its second of standby the watchman transmits two turns, then returns to standby.
  ASSERT_TRUE(WaitFor([] { return Sweeps().Count() > 0; }, 5s));
  const auto lookOver = [this] { return StateField("RAD_TXSTBY") == 1 && Sweeps().Count() >= 2 * 4096; };
  ASSERT_TRUE(WaitFor(lookOver, 10s));
  EXPECT_EQ(Sweeps().Count() % 4096, 0) << "whole turns";
}

TEST_F(RadarState, SetStateFeatureAppliesTheValuesItCarriesAndAnnouncesTheChange) {
  OpenWith("WarmupSeconds = 0");
  ASSERT_EQ(Radar().AddChangeCallback(RecordChange), 0);

  // A clone of the state, as the host edits it, with the module's own fields appended.
  FeaturePtr state = State();
  const auto release = [](OGRFeatureDefn* definition) { definition->Release(); };
  std::unique_ptr<OGRFeatureDefn, decltype(release)> extended(state->GetDefnRef()->Clone(), release);
  extended->Reference();
  OGRFieldDefn moduleField("RAD_VK_TRAIL_TIME", OFTInteger);
  extended->AddFieldDefn(&moduleField);
  FeaturePtr edited(new OGRFeature(extended.get()));
  edited->SetFrom(state.get(), TRUE);
  edited->SetField("RAD_RANGE", 8);
  edited->SetField("RAD_RANGE_UNIT", 2);
  edited->SetField("RAD_GAIN", 80);
  edited->SetField("RAD_TXSTBY", 2);
  edited->SetField("RAD_VK_TRAIL_TIME", 30);
  // The trail time changes through its own call only: a stale value in the feature does not undo it.
  ASSERT_EQ(Radar().SetTrailTime(45), 0);
  edited->SetField("RAD_TRAIL_TIME", 0);

  const int changes = ChangeCount();
  EXPECT_EQ(Radar().SetStateFeature(edited.get(), 0), 0);
  WaitForChange(changes);
  int range = -1, unit = -1;
  ASSERT_EQ(Radar().GetCurrentRange(&range, &unit), 0);
  EXPECT_EQ(range, 8);
  EXPECT_EQ(unit, 2);
  EXPECT_EQ(StateField("RAD_GAIN"), 80);
  EXPECT_EQ(StateField("RAD_TXSTBY"), 2);
  EXPECT_EQ(StateField("RAD_TRAIL_TIME"), 45);

  // Fields left unset change nothing; values out of bounds are refused while the others apply.
  FeaturePtr partial = Request("RAD_RANGE", 11);
  partial->SetField("RAD_SEA", 70);
  partial->SetField("RAD_PULSE", 7);
  EXPECT_EQ(Radar().SetStateFeature(partial.get(), 0), 1);
  FeaturePtr after = State();
  EXPECT_EQ(after->GetFieldAsInteger("RAD_RANGE"), 8);
  EXPECT_EQ(after->GetFieldAsInteger("RAD_SEA"), 70);
  EXPECT_EQ(after->GetFieldAsInteger("RAD_PULSE"), 0);
  EXPECT_EQ(after->GetFieldAsInteger("RAD_GAIN"), 80);
  EXPECT_EQ(after->GetFieldAsInteger("RAD_TXSTBY"), 2);

  EXPECT_NE(Radar().SetStateFeature(nullptr, 0), 0);
  EXPECT_NE(Radar().SetTrailTime(-1), 0);
  EXPECT_NE(Radar().SetTrailTime(3601), 0);
  EXPECT_EQ(StateField("RAD_TRAIL_TIME"), 45);
  EXPECT_NE(Radar().GetCurrentRange(nullptr, &unit), 0);
}

TEST_F(RadarState, ConfigurationMistakesAreReportedAndLeaveTheDefaults) {
  testing::internal::CaptureStderr();
  OpenWith("WarmupSeconds = 0\nRotationRate = fast\nRange = 42\nAntenna = 3\nColour = red\n"
           "TransmitAfterWarmup = 1\nnot an entry");
  const std::string messages = testing::internal::GetCapturedStderr();
  for (const char* mistake : {"RotationRate = fast", "Range = 42", "Colour = red", "not an ini line"}) {
    EXPECT_NE(messages.find(mistake), std::string::npos) << mistake << " in: " << messages;
  }
  EXPECT_EQ(StateField("RAD_ROTATION_RATE"), 24);
  EXPECT_EQ(StateField("RAD_RANGE"), 4);
  EXPECT_EQ(StateField("RAD_ANTENNA"), 3);
  EXPECT_EQ(StateField("RAD_TXSTBY"), 2) << "transmitting as soon as warmed up";
}

TEST_F(RadarState, RangeTableAnswersForEachUnit) {
  OpenWith("WarmupSeconds = 0");
  SorVikRadar& radar = Radar();
  EXPECT_DOUBLE_EQ(radar.RangeToDistance(3, 0), 0.75);
  EXPECT_DOUBLE_EQ(radar.RangeToDistance(10, 0), 96.0);
  EXPECT_NEAR(radar.RangeToDistance(2, 1), 1000.0 / 1852.0, 1e-9);   // 1 km
  EXPECT_NEAR(radar.RangeToDistance(5, 2), 3 * 1609.344 / 1852.0, 1e-9);  // 3 statute miles
  EXPECT_EQ(radar.RangeToDistance(11, 0), 0.0);
  EXPECT_EQ(radar.RangeToDistance(0, 3), 0.0);

  float interval = 0.0f;
  int count = 0;
  ASSERT_TRUE(radar.GetRingLayout(3, 0, &interval, &count));
  EXPECT_FLOAT_EQ(interval, 0.25f);
  EXPECT_EQ(count, 3);
  ASSERT_TRUE(radar.GetRingLayout(1, 0, &interval, &count));
  EXPECT_FLOAT_EQ(interval, 0.05f);
  EXPECT_EQ(count, 5);
  for (const auto& [range, unit] : {std::pair{-1, 0}, {11, 0}, {0, 3}}) {
    EXPECT_FALSE(radar.GetRingLayout(range, unit, &interval, &count)) << range << " " << unit;
  }
  EXPECT_FALSE(radar.GetRingLayout(3, 0, nullptr, &count));
  EXPECT_DOUBLE_EQ(radar.GetRingInterval(6, 0), 1.0);
  EXPECT_NEAR(radar.GetRingInterval(5, 1), 1000.0 / 1852.0, 1e-6);  // 1 km rings on the 6 km range
  EXPECT_EQ(radar.GetRingInterval(-1, 0), 0.0);

  // The text is in the radar's current unit, below one without the leading zero.
  const struct {
    int unit;
    int range;
    const char* text;
  } texts[] = {{0, 0, ".125"}, {0, 1, ".25"}, {0, 2, ".5"}, {0, 3, ".75"}, {0, 4, "1.5"}, {0, 10, "96"},
               {0, 11, ""},    {1, 0, ".25"},  {1, 1, ".5"},  {1, 2, "1"},   {2, 0, ".125"}, {2, 3, ".75"}};
  for (const auto& test : texts) {
    ASSERT_EQ(radar.SetStateFeature(Request("RAD_RANGE_UNIT", test.unit).get(), 0), 0);
    CString text;
    radar.FormatRange(text, test.range);
    EXPECT_EQ(text, test.text) << test.unit << " " << test.range;
  }
}

TEST_F(RadarState, PulseLabelFollowsRangePulseAndModel) {
  OpenWith("WarmupSeconds = 0");
  SorVikRadar& radar = Radar();
  // The standard model (also when no model is given) has three pulses; short ranges force the short one,
  // long ranges the long one.
  EXPECT_EQ(radar.GetPulseLabelCode(0, 2, 0, -1), 0);
  EXPECT_EQ(radar.GetPulseLabelCode(5, 1, 0, 0), 1);
  EXPECT_EQ(radar.GetPulseLabelCode(5, 2, 0, 0), 1);
  EXPECT_EQ(radar.GetPulseLabelCode(10, 0, 0, 0), 2);
  // The other model has five, 10 to 14.
  EXPECT_EQ(radar.GetPulseLabelCode(0, 0, 0, 1), 10);
  EXPECT_EQ(radar.GetPulseLabelCode(6, 1, 1, 1), 12);
  EXPECT_EQ(radar.GetPulseLabelCode(10, 2, 2, 1), 14);
  // Anything unknown gives no label.
  EXPECT_EQ(radar.GetPulseLabelCode(11, 0, 0, 0), -1);
  EXPECT_EQ(radar.GetPulseLabelCode(3, 3, 0, 0), -1);
  EXPECT_EQ(radar.GetPulseLabelCode(3, 0, 5, 0), -1);
  EXPECT_EQ(radar.GetPulseLabelCode(3, 0, 0, 7), -1);
}

TEST_F(RadarState, IdentityNamesTheConfiguredRadar) {
  CString maker, name, model, serial, software, hardware;
  OpenWith("WarmupSeconds = 0");
  Service().GetRadarIdentity(maker, name, model, serial, software, hardware);
  EXPECT_EQ(name, "RADAR");
  EXPECT_FALSE(maker.IsEmpty());
  OpenWith("WarmupSeconds = 0\nName = RADAR2");
  Service().GetRadarIdentity(maker, name, model, serial, software, hardware);
  EXPECT_EQ(name, "RADAR2");
}

}  // namespace

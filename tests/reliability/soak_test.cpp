// The module under load for half a minute: the simulated radar turning at ten times its normal rate,
// the host's thread refreshing, polling and drawing two views, and another host thread changing the
// radar settings through the OGR feature all the while. The sweeps reach the store through a wrapping
// callback that writes each sweep's angle and sequence number into its samples, so that any row read
// back tells which sweep it holds: it must be whole, in the row of its angle, never older than a row
// read before it and, at the end, the very last sweep stored there.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "display/echo_geometry.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "host/host_sink.h"
#include "host/radar_service.h"
#include "host/vk_feature.h"
#include "host_view.h"
#include "module/module_data_sorvik.h"
#include "module/radar_callbacks.h"
#include "module/service_libraries.h"
#include "radar_host.h"
#include "settings/field_access.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kSoakTime = 30s;
// Ten times the simulated radar's normal 24 turns a minute.
constexpr int kRotationRate = 240;
constexpr int kRows = kNormalEchoGeometry.rows;
// The tag covers the samples every row shows, short of the edge ring that reading a row draws.
constexpr int kTaggedSamples = 400;
constexpr std::uint32_t kNotTagged = UINT32_MAX;

struct Tag {
  std::uint16_t angle = 0;
  std::uint32_t sequence = 0;
};

void WriteTag(std::uint8_t* samples, Tag tag) {
  samples[0] = static_cast<std::uint8_t>(tag.angle);
  samples[1] = static_cast<std::uint8_t>(tag.angle >> 8);
  for (int i = 0; i < 4; ++i) samples[2 + i] = static_cast<std::uint8_t>(tag.sequence >> (8 * i));
  for (int i = 6; i < kTaggedSamples; ++i) samples[i] = static_cast<std::uint8_t>(tag.sequence * 131u + i * 7u);
}

// The tag of a row, or nothing when the row is not one whole tagged sweep.
std::optional<Tag> ReadTag(const std::uint8_t* samples) {
  Tag tag;
  tag.angle = static_cast<std::uint16_t>(samples[0] | samples[1] << 8);
  for (int i = 0; i < 4; ++i) tag.sequence |= static_cast<std::uint32_t>(samples[2 + i]) << (8 * i);
  for (int i = 6; i < kTaggedSamples; ++i)
    if (samples[i] != static_cast<std::uint8_t>(tag.sequence * 131u + i * 7u)) return std::nullopt;
  return tag;
}

// What the wrapping callback handed to the module. Written on the radar's thread only.
std::atomic<std::uint32_t> sweepsSent{0};
std::array<std::atomic<std::uint32_t>, kRows> lastSequenceOfRow{};

// Stands between the radar and the module's own callback and tags every sweep it passes on.
void TaggingSweepCallback(const SweepRecord* sweep) {
  if (sweep == nullptr || sweep->angle >= EchoGeometry::kAngleUnits) return SweepCallback(sweep);
  SweepRecord tagged = *sweep;
  const std::uint32_t sequence = sweepsSent.load(std::memory_order_relaxed) + 1;
  std::vector<std::uint8_t> samples;
  const bool carries = (sweep->kind == kSweepKindSamples || sweep->kind == kSweepKindSamplesAlt) &&
                       sweep->samples != nullptr && sweep->sampleCount >= kTaggedSamples;
  if (carries) {
    samples.assign(sweep->samples, sweep->samples + sweep->sampleCount);
    WriteTag(samples.data(), {sweep->angle, sequence});
    tagged.samples = samples.data();
  }
  SweepCallback(&tagged);
  lastSequenceOfRow[static_cast<std::size_t>(sweep->angle * kRows / EchoGeometry::kAngleUnits)].store(
      carries ? sequence : kNotTagged, std::memory_order_relaxed);
  sweepsSent.store(sequence, std::memory_order_release);
}

// Counts the radar-state notices; handing them out marks the radar layer stale while the other host
// thread reads it.
class CountingSink final : public HostSink {
public:
  void OnModuleNotice(const int&, const ModuleLayerKeyValue&) override { ++notices_; }
  int notices_ = 0;
};

class Soak : public RadarHostTest {};

// Checks one row read back while the radar writes; answers whether it held a tagged sweep.
bool CheckRowInFlight(int row, std::vector<std::uint32_t>& newestSeen) {
  std::vector<std::uint8_t> samples(kNormalEchoGeometry.validSamples);
  if (!TheSweepStore().ReadRow(row, samples)) return false;
  const std::uint32_t sentSoFar = sweepsSent.load(std::memory_order_acquire);
  const std::optional<Tag> tag = ReadTag(samples.data());
  if (!tag) return false;  // never swept, or swept by an untagged sweep
  EXPECT_EQ(tag->angle * kRows / EchoGeometry::kAngleUnits, row) << "a sweep stored in another angle's row";
  EXPECT_LE(tag->sequence, sentSoFar + 1) << "row " << row;
  EXPECT_GE(tag->sequence, newestSeen[static_cast<std::size_t>(row)]) << "row " << row << " went back in time";
  newestSeen[static_cast<std::size_t>(row)] = tag->sequence;
  return true;
}

TEST_F(Soak, TenTimesTheSweepRateWithTwoViewsAndSettingsChangingLosesNoRow) {
  StartHost("RotationRate = " + std::to_string(kRotationRate) +
            "\nWarmupSeconds = 0\nTransmitAfterWarmup = 1\nRange = 4\n");
  FakeNavigation navigation(kOwnShip, kOwnShipHeading);
  CountingSink sink;
  ModuleDataSorvik data;
  ASSERT_TRUE(data.Init(&navigation, &sink, false));
  ASSERT_EQ(GetEchoGeometry().rows, kRows);
  SorVikRadar* radar = GetSorVikRadar();
  radar->RemoveSweepCallback(SweepCallback);
  radar->AddSweepCallback(TaggingSweepCallback);

  HostView views[] = {HostView(192, 30.0), HostView(128, 60.0)};
  std::unique_ptr<ModuleDisplaySorvik> displays[] = {
      std::unique_ptr<ModuleDisplaySorvik>(static_cast<ModuleDisplaySorvik*>(data.CreateDisplay())),
      std::unique_ptr<ModuleDisplaySorvik>(static_cast<ModuleDisplaySorvik*>(data.CreateDisplay()))};
  VKFeature properties;
  properties.SetValue("DAY_NIGHT_MODE", 0L);
  int frames = 0;
  const auto drawAll = [&](bool always) {
    data.Refresh();
    for (int i = 0; i < 2; ++i)
      if (displays[i]->PollRedraw() != 0 || always) {
        displays[i]->Draw(&views[i], 0, &properties, 0);
        ++frames;
      }
  };

  // Until the radar has turned twice, both views have seen its range (the range the store is kept
  // for) and no clearing of the echo is still to come.
  const auto warmupEnd = Clock::now() + 20s;
  while (TheSweepStore().GetCursor().revolutions < 2 && Clock::now() < warmupEnd) {
    drawAll(true);
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_GE(TheSweepStore().GetCursor().revolutions, 2) << "the radar does not turn";
  drawAll(true);
  const std::uint32_t soakStart = sweepsSent.load();

  std::atomic<bool> stop{false};
  std::atomic<int> settingsChanges{0};
  std::thread settingsPanel([&] {
    for (int n = 0; !stop.load(); ++n) {
      OGRLayer* layer = data.GetOGRLayer(0);
      OGRFeature* feature = layer != nullptr ? layer->GetFeature(0) : nullptr;
      if (feature == nullptr) continue;
      const int colour = n % 4;
      const int trailTime = (n % 3) * 15;
      const double shiftDirection = (n % 8) * 0.7;
      SetFieldInteger(feature, &colour, "RAD_ECHO_COLOR");
      SetFieldInteger(feature, &trailTime, "RAD_VK_TRAIL_TIME");
      SetFieldDouble(feature, &shiftDirection, "RAD_VK_SHIFT_DIR");
      if (layer->SetFeature(feature) == OGRERR_NONE) settingsChanges.fetch_add(1);
      OGRFeature::DestroyFeature(feature);
      std::this_thread::sleep_for(2ms);
    }
  });

  std::mt19937 random(20261208);
  std::vector<std::uint32_t> newestSeen(kRows, 0);
  int rowsChecked = 0;
  const auto end = Clock::now() + kSoakTime;
  for (int round = 0; Clock::now() < end; ++round) {
    drawAll(round % 20 == 0);
    for (int probe = 0; probe < 16; ++probe)
      rowsChecked += CheckRowInFlight(std::uniform_int_distribution<int>(0, kRows - 1)(random), newestSeen);
    std::this_thread::sleep_for(3ms);
  }
  stop = true;
  settingsPanel.join();

  // No more sweeps: every row swept during the soak holds exactly the last sweep sent to it.
  radar->RemoveSweepCallback(TaggingSweepCallback);
  int rowsSwept = 0;
  std::vector<std::uint8_t> samples(kNormalEchoGeometry.validSamples);
  for (int row = 0; row < kRows; ++row) {
    const std::uint32_t last = lastSequenceOfRow[static_cast<std::size_t>(row)].load();
    if (last == kNotTagged || last <= soakStart) continue;
    ++rowsSwept;
    ASSERT_TRUE(TheSweepStore().ReadRow(row, samples));
    const std::optional<Tag> tag = ReadTag(samples.data());
    ASSERT_TRUE(tag.has_value()) << "row " << row << " does not hold a whole sweep";
    EXPECT_EQ(tag->sequence, last) << "row " << row << " lost its last sweep";
  }
  const std::uint32_t sweeps = sweepsSent.load() - soakStart;
  std::printf("soak: %u sweeps in %lld s, %d frames, %d settings changes, %d notices, %d rows checked in "
              "flight, %d of %d rows checked at the end\n",
              sweeps, static_cast<long long>(kSoakTime.count()), frames, settingsChanges.load(), sink.notices_,
              rowsChecked, rowsSwept, kRows);
  EXPECT_GE(rowsSwept, kRows * 9 / 10) << "the radar did not sweep the whole turn";
  EXPECT_GT(settingsChanges.load(), 0);
  EXPECT_GT(frames, 0);

  displays[0].reset();
  displays[1].reset();
  data.Terminate();
}

}  // namespace

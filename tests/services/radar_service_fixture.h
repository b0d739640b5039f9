#pragma once
// Tests of the simulated radar service load the staged library as the host does and reach it only
// through its entry and interfaces. Each test writes its own configuration file; the radar is closed
// after each test by an Open that the configuration makes fail.
#include <gtest/gtest.h>
#include <ogr_feature.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/radar_service.h"

struct FeatureDeleter {
  void operator()(OGRFeature* feature) const { OGRFeature::DestroyFeature(feature); }
};
using FeaturePtr = std::unique_ptr<OGRFeature, FeatureDeleter>;

// What one delivered sweep looked like.
struct SweepSummary {
  std::uint16_t kind = 0;
  std::uint16_t sampleCount = 0;
  std::uint16_t rangeSampleCount = 0;
  std::uint16_t angle = 0;
  std::int16_t heading = 0;
  std::uint8_t strongest = 0;
  std::thread::id thread;
};

// Everything the sweep callbacks of a test received.
class SweepLog {
public:
  void Clear(std::size_t samplesToKeep = 0);
  void Add(const SweepRecord& sweep);
  int Count() const { return count_.load(); }
  std::vector<SweepSummary> Summaries() const;
  // Samples of the first sweeps after Clear, as many as asked for there.
  std::vector<std::vector<std::uint8_t>> KeptSamples() const;

private:
  static constexpr std::size_t kMostSummaries = 40000;
  std::atomic<int> count_{0};
  mutable std::mutex mutex_;
  std::vector<SweepSummary> summaries_;
  std::vector<std::vector<std::uint8_t>> samples_;
  std::size_t samplesToKeep_ = 0;
};

SweepLog& Sweeps();
std::atomic<int>& ChangeCount();
void RecordSweep(const SweepRecord* sweep);
void RecordChange();

// The staged service library's file.
std::string ServiceLibraryPath();

// Polls `condition` until it holds or `timeout` passes.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

class RadarServiceTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The service as the host gets it; the library stays loaded for the whole run.
  static VKSorVikAPI& Service();
  SorVikRadar& Radar() { return *Service().GetRadar(); }

  // Writes `settings` (lines of the [Radar] section) as this test's configuration.
  void Configure(const std::string& settings);
  int Open(bool imoMode);
  // Configures `settings` and opens; the test fails unless Open answers 0.
  void OpenWith(const std::string& settings, bool imoMode = false);

  FeaturePtr State() { return FeaturePtr(Radar().GetStateFeature(0)); }
  int StateField(const char* name);
  // A feature of the radar's definition with only `name` set to `value`.
  FeaturePtr Request(const char* name, int value);
  // Asks for a transmitter state (0 off, 1 standby, 2 transmit, 3 sleep); answers SetStateFeature's code.
  int RequestTransmitState(int state);
  // Asks for transmission and waits until sweeps arrive.
  void StartTransmitting();
  void WaitForChange(int seenChanges);

private:
  std::string configPath_;
};

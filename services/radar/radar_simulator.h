#pragma once
// The simulated radar behind the SorVikRadar interface. Open starts a session: the radar powers on and
// its own thread starts; the thread counts down the warm-up and the watchman, takes the sweeps of the
// configured source (the simulated scene or a replayed capture) while transmitting, and calls the
// registered callbacks: every sweep callback once per sweep, every change callback after each change of
// the published state (its own or the host's; changes close together are announced once). Calls from
// the host may come from any thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "host/radar_service.h"
#include "services/radar/callback_registry.h"
#include "services/radar/radar_control.h"
#include "services/radar/radar_source.h"
#include "services/radar/simulator_config.h"
#include "services/radar/state_feature.h"

namespace radarsim {

// Open's answer when called from a callback on the radar's own thread, which cannot wait for itself.
constexpr int kOpenFromRadarThread = -1;
// Open's answer when the configured source cannot start (a capture to replay that cannot be read); the
// reason goes to the standard error.
constexpr int kOpenSourceFailed = -6;
// Answers of the other calls.
constexpr int kRadarOk = 0;
constexpr int kRadarFailed = -1;
// SetStateFeature: some values were out of bounds or not allowed in the current state; the others were
// applied.
constexpr int kRadarPartlyApplied = 1;

class RadarSimulator final : public SorVikRadar {
public:
  RadarSimulator();
  ~RadarSimulator();
  RadarSimulator(const RadarSimulator&) = delete;
  RadarSimulator& operator=(const RadarSimulator&) = delete;

  // Ends the running session, if any, and starts a new one from `config`: 0, or the configured failure
  // code (the radar then stays closed), or kOpenFromRadarThread. Registered callbacks stay registered.
  int Open(const SimulatorConfig& config, bool imoMode);
  // Ends the session: the thread stops and the radar no longer answers.
  void Close();

  OGRFeature* GetStateFeature(int reserved) override;
  int SetStateFeature(OGRFeature* feature, int reserved) override;
  int GetCurrentRange(int* rangeValue, int* rangeUnit) override;
  int SetTrailTime(int trailTime) override;
  int AddSweepCallback(RadarSweepCallback callback) override;
  int AddChangeCallback(RadarChangeCallback callback) override;
  int RemoveSweepCallback(RadarSweepCallback callback) override;
  int RemoveChangeCallback(RadarChangeCallback callback) override;
  double RangeToDistance(int rangeValue, int rangeUnit) override;
  bool GetRingLayout(int rangeValue, int rangeUnit, float* ringInterval, int* ringCount) override;
  int GetPulseLabelCode(int rangeValue, int pulse, int rangeUnit, int model) override;
  void FormatRange(CString& text, int rangeValue) override;
  double GetRingInterval(int rangeValue, int rangeUnit) override;

private:
  using Clock = std::chrono::steady_clock;
  void Run();
  void StopWorker();
  bool OnRadarThread();
  // Records an outcome of the host's request; wakes the thread to announce a change.
  void Announce(const ControlOutcome& outcome);
  SweepSettings CurrentSweepSettings() const;

  const StateFeatureSchema schema_;
  CallbackRegistry<RadarSweepCallback> sweepCallbacks_;
  CallbackRegistry<RadarChangeCallback> changeCallbacks_;

  // Open and Close one at a time.
  std::mutex lifecycleMutex_;
  // Guards everything below; never held while a callback runs.
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  RadarControl control_;
  bool changePending_ = false;
  bool stopRequested_ = false;
  std::thread::id radarThreadId_;
  // Owned by the radar thread while it runs; created and destroyed while it does not.
  std::unique_ptr<RadarSource> source_;
  std::thread worker_;
};

}  // namespace radarsim

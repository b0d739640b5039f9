#include "services/radar/radar_simulator.h"

#include <ogr_feature.h>
#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "services/radar/own_ship_publisher.h"
#include "services/radar/range_table.h"

namespace radarsim {

using namespace std::chrono_literals;

RadarSimulator::RadarSimulator() = default;

RadarSimulator::~RadarSimulator() { Close(); }

bool RadarSimulator::OnRadarThread() {
  std::lock_guard lock(mutex_);
  return radarThreadId_ == std::this_thread::get_id();
}

int RadarSimulator::Open(const SimulatorConfig& config, bool imoMode) {
  if (OnRadarThread()) return kOpenFromRadarThread;
  std::lock_guard lifecycle(lifecycleMutex_);
  StopWorker();
  ClearOwnShipFix();
  std::unique_ptr<RadarSource> source;
  std::string error;
  if (config.openResult == 0) {
    source = OpenRadarSource(config, imoMode, error);
    if (!source) std::fprintf(stderr, "radar: %s\n", error.c_str());
  }
  SimulatorConfig start = config;
  if (source && source->StartRangeIndex()) start.rangeIndex = *source->StartRangeIndex();
  std::lock_guard lock(mutex_);
  control_.Reset(start);
  if (config.openResult != 0) return config.openResult;
  if (!source) return kOpenSourceFailed;
  control_.SetSpokeStream(source->SpokeStreamName());
  source_ = std::move(source);
  control_.PowerOn();
  changePending_ = true;  // announce the power-on
  stopRequested_ = false;
  worker_ = std::thread(&RadarSimulator::Run, this);
  radarThreadId_ = worker_.get_id();
  return kRadarOk;
}

void RadarSimulator::Close() {
  if (OnRadarThread()) return;
  std::lock_guard lifecycle(lifecycleMutex_);
  StopWorker();
}

void RadarSimulator::StopWorker() {
  {
    std::lock_guard lock(mutex_);
    if (!worker_.joinable()) return;
    stopRequested_ = true;
  }
  wake_.notify_all();
  worker_.join();
  std::lock_guard lock(mutex_);
  radarThreadId_ = {};
  source_.reset();
  stopRequested_ = false;
  changePending_ = false;
  control_.Shutdown();
}

void RadarSimulator::Run() {
  // Named so that the radar's own thread can be told apart in the process's tasks (top -H, /proc).
  pthread_setname_np(pthread_self(), "radar service");
  std::unique_lock lock(mutex_);
  RadarSource& source = *source_;
  auto nextSecond = Clock::now() + 1s;
  bool turning = false;
  const auto woken = [this] { return stopRequested_ || changePending_; };
  while (!stopRequested_) {
    const auto now = Clock::now();
    if (now >= nextSecond) {
      changePending_ |= control_.TickSecond();
      nextSecond += 1s;
      if (nextSecond <= now) nextSecond = now + 1s;  // after a stall, count on from now
    }
    if (changePending_) {
      changePending_ = false;
      lock.unlock();
      changeCallbacks_.InvokeAll();
      lock.lock();
      continue;
    }
    if (!control_.IsTransmitting()) {
      turning = false;
      wake_.wait_until(lock, nextSecond, woken);
      continue;
    }
    if (!turning) {
      turning = true;
      source.StartTurning(now);
    }
    if (!source.TakeDue(now)) {
      wake_.wait_until(lock, std::min(nextSecond, source.NextDueTime()), woken);
      continue;
    }
    const SweepSettings settings = CurrentSweepSettings();
    lock.unlock();
    const SourceOutcome outcome = source.Deliver(settings, [this](const SweepRecord& record) {
      sweepCallbacks_.InvokeAll(&record);
    });
    lock.lock();
    if (outcome.rangeIndex) {
      StateRequest request;
      request.rangeIndex = outcome.rangeIndex;
      changePending_ |= control_.Apply(request).changed;
    }
    if (outcome.signal) changePending_ |= control_.SetHeard(*outcome.signal);
    for (int turn = 0; turn < outcome.turns; ++turn) changePending_ |= control_.CompleteTurn();
    control_.CountLostSpokes(outcome.lostSpokes);
  }
}

SweepSettings RadarSimulator::CurrentSweepSettings() const {
  const RadarState& state = control_.State();
  SweepSettings settings;
  settings.rangeIndex = state.rangeIndex;
  settings.rangeUnit = state.rangeUnit;
  settings.pulse = state.pulse;
  settings.model = state.model;
  settings.antenna = state.antenna;
  settings.gain = state.gain;
  settings.sea = state.sea;
  settings.rain = state.rain;
  settings.tune = state.tune;
  settings.trailTime = state.trailTime;
  return settings;
}

void RadarSimulator::Announce(const ControlOutcome& outcome) {
  if (!outcome.changed) return;
  changePending_ = true;
  wake_.notify_all();
}

OGRFeature* RadarSimulator::GetStateFeature(int /*reserved*/) {
  RadarState state;
  {
    std::lock_guard lock(mutex_);
    state = control_.State();
  }
  return schema_.NewFeature(state);
}

int RadarSimulator::SetStateFeature(OGRFeature* feature, int /*reserved*/) {
  if (!feature) return kRadarFailed;
  const StateRequest request = ReadStateRequest(*feature);
  std::lock_guard lock(mutex_);
  if (!control_.IsPoweredOn()) return kRadarFailed;
  const ControlOutcome outcome = control_.Apply(request);
  Announce(outcome);
  return outcome.refused ? kRadarPartlyApplied : kRadarOk;
}

int RadarSimulator::GetCurrentRange(int* rangeValue, int* rangeUnit) {
  if (!rangeValue || !rangeUnit) return kRadarFailed;
  control_.CurrentRange(*rangeValue, *rangeUnit);
  return kRadarOk;
}

int RadarSimulator::SetTrailTime(int trailTime) {
  std::lock_guard lock(mutex_);
  const ControlOutcome outcome = control_.SetTrailTime(trailTime);
  if (control_.IsPoweredOn()) Announce(outcome);
  return outcome.refused ? kRadarFailed : kRadarOk;
}

int RadarSimulator::AddSweepCallback(RadarSweepCallback callback) {
  return sweepCallbacks_.Add(callback) ? kRadarOk : kRadarFailed;
}

int RadarSimulator::AddChangeCallback(RadarChangeCallback callback) {
  return changeCallbacks_.Add(callback) ? kRadarOk : kRadarFailed;
}

int RadarSimulator::RemoveSweepCallback(RadarSweepCallback callback) {
  return sweepCallbacks_.Remove(callback) ? kRadarOk : kRadarFailed;
}

int RadarSimulator::RemoveChangeCallback(RadarChangeCallback callback) {
  return changeCallbacks_.Remove(callback) ? kRadarOk : kRadarFailed;
}

double RadarSimulator::RangeToDistance(int rangeValue, int rangeUnit) {
  return RangeInNauticalMiles(rangeValue, rangeUnit);
}

bool RadarSimulator::GetRingLayout(int rangeValue, int rangeUnit, float* ringInterval, int* ringCount) {
  if (!ringInterval || !ringCount) return false;
  return RingLayoutOf(rangeValue, rangeUnit, *ringInterval, *ringCount);
}

int RadarSimulator::GetPulseLabelCode(int rangeValue, int pulse, int rangeUnit, int model) {
  return PulseLabelCodeOf(rangeValue, pulse, rangeUnit, model);
}

void RadarSimulator::FormatRange(CString& text, int rangeValue) {
  int unit = kNauticalMiles;
  {
    std::lock_guard lock(mutex_);
    unit = control_.State().rangeUnit;
  }
  text = FormatRangeValue(rangeValue, unit).c_str();
}

double RadarSimulator::GetRingInterval(int rangeValue, int rangeUnit) {
  return RingIntervalInNauticalMiles(rangeValue, rangeUnit);
}

}  // namespace radarsim

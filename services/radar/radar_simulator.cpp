#include "services/radar/radar_simulator.h"

#include <ogr_feature.h>

#include <algorithm>
#include <cmath>

#include "services/radar/range_table.h"
#include "services/radar/scene.h"

namespace radarsim {
namespace {

using namespace std::chrono_literals;

// The thread wakes about this often while transmitting and delivers the sweeps that fell due meanwhile.
constexpr double kBatchSeconds = 0.004;
// Sweeps delivered at most between two looks at the state, so that requests take effect promptly.
constexpr std::uint64_t kLongestBatch = 1024;
constexpr std::int16_t kNoHeading = -1;

std::int16_t HeadingWordOf(double degrees) {
  if (degrees < 0.0) return kNoHeading;
  return static_cast<std::int16_t>(std::lround(degrees / 360.0 * kAngleUnitsPerTurn) % kAngleUnitsPerTurn);
}

}  // namespace

// One run of the radar from Open to Close: the scene, the sweep generator, and the antenna's timetable.
class RadarSimulator::Session {
public:
  Session(const SimulatorConfig& config, bool imoMode)
      : scene_(config.seed),
        generator_(scene_, imoMode, config.seed, config.seaState),
        sweepSeconds_(60.0 / config.rotationRate / generator_.SweepsPerTurn()),
        sceneSecondsPerSweep_(sweepSeconds_ * config.timeLapse),
        heading_(HeadingWordOf(config.headingDegrees)),
        batch_(std::max<std::uint64_t>(1, static_cast<std::uint64_t>(kBatchSeconds / sweepSeconds_))) {}

  // The antenna starts turning (again) now; trails from before are stale.
  void StartTurning(Clock::time_point now) {
    origin_ = now;
    scheduled_ = 0;
    generator_.ClearTrails();
  }

  // How many sweeps fell due by `now`. A radar that fell far behind (a stalled machine) takes up the
  // timetable from now instead of rushing: its antenna merely turned slower for a moment.
  std::uint64_t TakeDueSweeps(Clock::time_point now) {
    const double elapsed = std::chrono::duration<double>(now - origin_).count();
    const auto target = static_cast<std::uint64_t>(elapsed / sweepSeconds_);
    if (target <= scheduled_) return 0;
    std::uint64_t due = target - scheduled_;
    if (due > static_cast<std::uint64_t>(generator_.SweepsPerTurn() / 4)) {
      origin_ = now;
      scheduled_ = 0;
      due = batch_;
    }
    // A batch ends at the end of a turn, so that the state sees every turn completed.
    const auto sweepsPerTurn = static_cast<std::uint64_t>(generator_.SweepsPerTurn());
    due = std::min({due, kLongestBatch, sweepsPerTurn - sweepIndex_ % sweepsPerTurn});
    scheduled_ += due;
    return due;
  }

  // When the next batch falls due.
  Clock::time_point NextBatchTime() const {
    const double seconds = static_cast<double>(scheduled_ + batch_) * sweepSeconds_;
    return origin_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  }

  // Generates `count` sweeps and hands each to `deliver`; answers how many antenna turns were completed.
  template <typename Deliver>
  int Sweep(std::uint64_t count, const SweepSettings& settings, Deliver&& deliver) {
    int turns = 0;
    const auto sweepsPerTurn = static_cast<std::uint64_t>(generator_.SweepsPerTurn());
    for (std::uint64_t n = 0; n < count; ++n) {
      const std::uint64_t index = sweepIndex_++;
      SweepRecord record;
      record.kind = kSweepKindSamples;
      const double seconds = static_cast<double>(index) * sceneSecondsPerSweep_;
      record.samples = generator_.Generate(index, seconds, settings);
      record.sampleCount = static_cast<std::uint16_t>(generator_.SampleCount());
      record.rangeSampleCount = record.sampleCount;
      record.angle = generator_.AngleOf(index);
      record.heading = heading_;
      deliver(record);
      if (sweepIndex_ % sweepsPerTurn == 0) ++turns;
    }
    return turns;
  }

private:
  Scene scene_;
  SweepGenerator generator_;
  const double sweepSeconds_;
  const double sceneSecondsPerSweep_;
  const std::int16_t heading_;
  const std::uint64_t batch_;
  // Sweeps generated since Open: the antenna's position and the scene's clock.
  std::uint64_t sweepIndex_ = 0;
  Clock::time_point origin_{};
  std::uint64_t scheduled_ = 0;
};

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
  auto session = config.openResult == 0 ? std::make_unique<Session>(config, imoMode) : nullptr;
  std::lock_guard lock(mutex_);
  control_.Reset(config);
  if (!session) return config.openResult;
  session_ = std::move(session);
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
  session_.reset();
  stopRequested_ = false;
  changePending_ = false;
  control_.Shutdown();
}

void RadarSimulator::Run() {
  std::unique_lock lock(mutex_);
  Session& session = *session_;
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
      session.StartTurning(now);
    }
    const std::uint64_t due = session.TakeDueSweeps(now);
    if (due == 0) {
      wake_.wait_until(lock, std::min(nextSecond, session.NextBatchTime()), woken);
      continue;
    }
    const SweepSettings settings = CurrentSweepSettings();
    lock.unlock();
    const int turns = session.Sweep(due, settings, [this](const SweepRecord& record) {
      sweepCallbacks_.InvokeAll(&record);
    });
    lock.lock();
    for (int turn = 0; turn < turns; ++turn) changePending_ |= control_.CompleteTurn();
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
  if (control_.State().sourceStatus == 0) return kRadarFailed;
  const ControlOutcome outcome = control_.Apply(request);
  Announce(outcome);
  return outcome.refused ? kRadarPartlyApplied : kRadarOk;
}

int RadarSimulator::GetCurrentRange(int* rangeValue, int* rangeUnit) {
  if (!rangeValue || !rangeUnit) return kRadarFailed;
  std::lock_guard lock(mutex_);
  *rangeValue = control_.State().rangeIndex;
  *rangeUnit = control_.State().rangeUnit;
  return kRadarOk;
}

int RadarSimulator::SetTrailTime(int trailTime) {
  std::lock_guard lock(mutex_);
  const ControlOutcome outcome = control_.SetTrailTime(trailTime);
  if (control_.State().sourceStatus != 0) Announce(outcome);
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

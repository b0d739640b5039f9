#include "services/radar/simulation_source.h"

#include <algorithm>
#include <cmath>

namespace radarsim {
namespace {

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

SimulationSource::SimulationSource(const SimulatorConfig& config, bool imoMode)
    : scene_(config.seed),
      generator_(scene_, imoMode, config.seed, config.seaState),
      sweepSeconds_(60.0 / config.rotationRate / generator_.SweepsPerTurn()),
      sceneSecondsPerSweep_(sweepSeconds_ * config.timeLapse),
      heading_(HeadingWordOf(config.headingDegrees)),
      batch_(std::max<std::uint64_t>(1, static_cast<std::uint64_t>(kBatchSeconds / sweepSeconds_))) {}

// Trails from before the antenna stopped are stale.
void SimulationSource::StartTurning(Clock::time_point now) {
  origin_ = now;
  scheduled_ = 0;
  due_ = 0;
  generator_.ClearTrails();
}

// A radar that fell far behind (a stalled machine) takes up the timetable from now instead of rushing:
// its antenna merely turned slower for a moment.
bool SimulationSource::TakeDue(Clock::time_point now) {
  const double elapsed = std::chrono::duration<double>(now - origin_).count();
  const auto target = static_cast<std::uint64_t>(elapsed / sweepSeconds_);
  if (target <= scheduled_) return due_ > 0;
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
  due_ += due;
  return true;
}

RadarSource::Clock::time_point SimulationSource::NextDueTime() const {
  const double seconds = static_cast<double>(scheduled_ + batch_) * sweepSeconds_;
  return origin_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

SourceOutcome SimulationSource::Deliver(const SweepSettings& settings, const SweepSink& deliver) {
  SourceOutcome outcome;
  const auto sweepsPerTurn = static_cast<std::uint64_t>(generator_.SweepsPerTurn());
  for (; due_ > 0; --due_) {
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
    if (sweepIndex_ % sweepsPerTurn == 0) ++outcome.turns;
  }
  return outcome;
}

}  // namespace radarsim

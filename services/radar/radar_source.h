#pragma once
// Where the radar's sweeps come from while it transmits: the simulated scene, a replayed capture, or a
// radar on the network.
// The radar's thread asks the source, with its state locked, whether sweeps fell due, then lets it
// deliver them with the state unlocked; the source tells what the radar's state must follow.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/sweep_record.h"
#include "services/radar/simulator_config.h"
#include "services/radar/sweep_generator.h"

namespace radarsim {

// What a delivery did to the radar's state.
struct SourceOutcome {
  int turns = 0;                  // antenna turns completed
  std::optional<int> rangeIndex;  // a range setting the source now needs (a recording changed range)
  std::optional<bool> signal;     // the radar was lost (false) or is heard again (true)
  int lostSpokes = 0;             // spokes the radar sent that did not arrive
};

class RadarSource {
public:
  using Clock = std::chrono::steady_clock;
  using SweepSink = std::function<void(const SweepRecord&)>;

  virtual ~RadarSource() = default;

  // The range setting the radar starts with, when the source has one of its own.
  virtual std::optional<int> StartRangeIndex() const { return std::nullopt; }
  // The radar's spoke stream the source takes in ("group:port"); empty for a simulated one.
  virtual std::string SpokeStreamName() const { return {}; }
  // The antenna starts turning (again) at `now`: at the first transmission or after standby.
  virtual void StartTurning(Clock::time_point now) = 0;
  // Whether sweeps fell due by `now`; those are kept for Deliver.
  virtual bool TakeDue(Clock::time_point now) = 0;
  // When the next sweeps fall due.
  virtual Clock::time_point NextDueTime() const = 0;
  // Hands the sweeps kept by TakeDue to `deliver`, shaped by the radar's current `settings`.
  virtual SourceOutcome Deliver(const SweepSettings& settings, const SweepSink& deliver) = 0;
};

// The source `config` chooses; null with a one-line reason in `error` when it cannot start.
std::unique_ptr<RadarSource> OpenRadarSource(const SimulatorConfig& config, bool imoMode, std::string& error);

}  // namespace radarsim

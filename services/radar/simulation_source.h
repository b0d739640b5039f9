#pragma once
// The simulated radar's sweeps: the scene, the sweep generator, and the antenna's timetable at the
// configured rotation rate.
#include <cstdint>

#include "services/radar/radar_source.h"
#include "services/radar/scene.h"
#include "services/radar/sweep_generator.h"

namespace radarsim {

class SimulationSource final : public RadarSource {
public:
  SimulationSource(const SimulatorConfig& config, bool imoMode);

  void StartTurning(Clock::time_point now) override;
  bool TakeDue(Clock::time_point now) override;
  Clock::time_point NextDueTime() const override;
  SourceOutcome Deliver(const SweepSettings& settings, const SweepSink& deliver) override;

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
  // Sweeps due and not yet delivered.
  std::uint64_t due_ = 0;
};

}  // namespace radarsim

#pragma once
// Turns the scene into sweeps: for one antenna angle at one moment, the fixed echoes of the current
// range, sea clutter close to the ship, receiver noise, the vessels in the beam, and (normal mode) the
// trails they leave. Strengths are worked out as bytes 0 to 255 and sent as they are in type-approved
// mode, or as levels 0 to 7 (strength / 32) with trail levels 8 to 15 in normal mode.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "services/radar/fixed_echo_raster.h"
#include "services/radar/scene.h"
#include "services/radar/trail_memory.h"

namespace radarsim {

constexpr int kAngleUnitsPerTurn = 8192;
// Sweeps per turn and samples per sweep of the two modes.
constexpr int kNormalSweepsPerTurn = 4096;
constexpr int kImoSweepsPerTurn = 8192;
constexpr int kNormalSampleCount = 464;
constexpr int kImoSampleCount = 884;

// The radar's settings that shape a sweep.
struct SweepSettings {
  int rangeIndex = 0;
  int rangeUnit = 0;
  int pulse = 0;
  int model = 0;
  int antenna = 0;
  int gain = 50;
  int sea = 30;
  int rain = 0;
  int tune = 50;
  int trailTime = 0;  // seconds; 0: no trails
  bool operator==(const SweepSettings&) const = default;
};

class SweepGenerator {
public:
  // `seaState` (0 to 100) is the weather: how much clutter the sea returns before the sea control.
  SweepGenerator(const Scene& scene, bool imoMode, std::uint64_t seed, int seaState);

  // 4096 sweeps per turn in normal mode, 8192 in type-approved mode.
  int SweepsPerTurn() const { return sweepsPerTurn_; }
  // Samples per sweep, spanning the whole range: 464 in normal mode, 884 in type-approved mode.
  int SampleCount() const { return sampleCount_; }
  // Antenna angle (0 to 8191) of the sweep numbered `sweepIndex` since the radar started turning.
  std::uint16_t AngleOf(std::uint64_t sweepIndex) const;

  // The samples of sweep `sweepIndex` at `seconds` of scene time; valid until the next call. The same
  // index, time and settings give the same samples.
  const std::uint8_t* Generate(std::uint64_t sweepIndex, double seconds, const SweepSettings& settings);
  // Forgets every trail (a new range, transmission restarting).
  void ClearTrails();

private:
  void Prepare(const SweepSettings& settings);
  void AddVessels(int row, int shadowStart, double seconds);

  const Scene& scene_;
  const bool imoMode_;
  const std::uint64_t seed_;
  const int seaState_;
  const int sweepsPerTurn_;
  const int sampleCount_;
  FixedEchoRaster raster_;
  std::optional<TrailMemory> trails_;  // normal mode only: type-approved sweeps carry no trails

  // Derived from the settings of the previous sweep; rebuilt when they change.
  std::optional<SweepSettings> prepared_;
  double cell_ = 0.0;              // nautical miles per sample
  double echoFactor_ = 1.0;        // gain and tuning
  double beamHalfWidth_ = 0.0;     // angle units
  double pulseExtent_ = 0.0;       // nautical miles
  std::uint32_t noiseThreshold_ = 0;
  int clutterEnd_ = 0;
  std::vector<std::uint8_t> clutter_;        // strongest clutter per sample
  std::array<std::uint8_t, 256> fixedStrength_{};  // fixed echo code to strongest strength
  bool trailsOn_ = false;

  std::vector<std::uint8_t> strengths_;
  std::vector<std::uint8_t> output_;
  std::uint16_t trailStamp_ = 0;
};

}  // namespace radarsim

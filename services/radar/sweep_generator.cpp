#include "services/radar/sweep_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "services/radar/random.h"
#include "services/radar/range_table.h"

namespace radarsim {
namespace {

// Normal-mode levels are strengths divided by 32.
constexpr int kLevelShift = 5;
// Vessel echoes at least this strong (level 2) leave trails.
constexpr int kTrailMarkStrength = 64;
// Horizontal beam width in degrees of the antenna types 0 to 6.
constexpr std::array<double, 7> kBeamWidths = {3.9, 2.7, 1.9, 1.4, 1.2, 0.95, 0.75};
// Sea clutter halves about every third of a mile and is gone beyond a few miles.
constexpr double kClutterFalloff = 0.5;
// Noise speckles are level 1 echoes: strengths 32 to 63.
constexpr int kNoiseStrength = 32;
constexpr double kAngleUnitsPerRadian = kAngleUnitsPerTurn / (2.0 * std::numbers::pi);

std::uint8_t ToStrength(double value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)); }

// Receiver gain (0 to 100, 50 plain) times the loss of a detuned receiver (best at 50).
double EchoFactorOf(int gain, int tune) {
  const double amplification = 0.25 + 1.5 * gain / 100.0;
  const double detuning = (tune - 50) / 50.0;
  return amplification * (1.0 - 0.7 * detuning * detuning);
}

}  // namespace

SweepGenerator::SweepGenerator(const Scene& scene, bool imoMode, std::uint64_t seed, int seaState)
    : scene_(scene),
      imoMode_(imoMode),
      seed_(seed),
      seaState_(seaState),
      sweepsPerTurn_(imoMode ? kImoSweepsPerTurn : kNormalSweepsPerTurn),
      sampleCount_(imoMode ? kImoSampleCount : kNormalSampleCount),
      raster_(scene, sweepsPerTurn_, sampleCount_, seed),
      clutter_(static_cast<std::size_t>(sampleCount_)),
      strengths_(static_cast<std::size_t>(sampleCount_)),
      output_(static_cast<std::size_t>(sampleCount_)) {
  if (!imoMode_) trails_.emplace(sweepsPerTurn_, sampleCount_);
}

std::uint16_t SweepGenerator::AngleOf(std::uint64_t sweepIndex) const {
  const auto row = static_cast<int>(sweepIndex % static_cast<std::uint64_t>(sweepsPerTurn_));
  return static_cast<std::uint16_t>(row * (kAngleUnitsPerTurn / sweepsPerTurn_));
}

void SweepGenerator::ClearTrails() {
  if (trails_) trails_->Clear();
}

void SweepGenerator::Prepare(const SweepSettings& settings) {
  if (prepared_ == settings) return;
  const bool newRange = !prepared_ || prepared_->rangeIndex != settings.rangeIndex ||
                        prepared_->rangeUnit != settings.rangeUnit;
  double range = RangeInNauticalMiles(settings.rangeIndex, settings.rangeUnit);
  if (range <= 0.0) range = RangeInNauticalMiles(0, kNauticalMiles);
  raster_.SetRange(range);
  cell_ = range / sampleCount_;
  // Trails belong to one range; switched off, they are gone for good.
  if (newRange || settings.trailTime == 0) ClearTrails();
  trailsOn_ = trails_.has_value() && settings.trailTime > 0;

  echoFactor_ = EchoFactorOf(settings.gain, settings.tune);
  const auto antenna = static_cast<std::size_t>(std::clamp(settings.antenna, 0, 6));
  beamHalfWidth_ = kBeamWidths[antenna] / 2.0 / 360.0 * kAngleUnitsPerTurn;
  pulseExtent_ = PulseExtentInNauticalMiles(settings.rangeIndex, settings.pulse, settings.model);
  const double gain = settings.gain / 100.0;
  noiseThreshold_ = static_cast<std::uint32_t>((0.001 + 0.02 * gain * gain * gain) * 4294967295.0);

  const double rainLeft = 1.0 - 0.9 * settings.rain / 100.0;
  fixedStrength_[0] = 0;
  for (int code = 1; code < 256; ++code) {
    const double strongest = code < kFirstLandCode ? code * 2.0 * rainLeft
                                                   : LandStrengthOf(static_cast<std::uint8_t>(code));
    fixedStrength_[static_cast<std::size_t>(code)] = ToStrength(strongest * echoFactor_);
  }

  const double seaLeft = 1.0 - 0.95 * settings.sea / 100.0;
  const double clutterPeak = 255.0 * 1.6 * seaState_ / 100.0 * seaLeft * echoFactor_;
  clutterEnd_ = 0;
  for (int i = 0; i < sampleCount_; ++i) {
    const double distance = (i + 0.5) * cell_;
    const std::uint8_t peak = ToStrength(clutterPeak * std::exp(-distance / kClutterFalloff));
    clutter_[static_cast<std::size_t>(i)] = peak;
    if (peak >= 8) clutterEnd_ = i + 1;
  }
  prepared_ = settings;
}

const std::uint8_t* SweepGenerator::Generate(std::uint64_t sweepIndex, double seconds,
                                             const SweepSettings& settings) {
  Prepare(settings);
  const auto row = static_cast<int>(sweepIndex % static_cast<std::uint64_t>(sweepsPerTurn_));
  const FixedEchoRaster::Row fixed = raster_.RowAt(row);
  SampleRandom random(HashPair(seed_, sweepIndex));
  std::uint8_t* strengths = strengths_.data();

  for (int i = 0; i < sampleCount_; ++i) {
    const std::uint8_t code = fixed.codes[i];
    std::uint32_t strength = fixedStrength_[code];
    if (code != 0 && code < kFirstLandCode) strength = strength * random.NextByte() >> 8;  // rain speckle
    strengths[i] = static_cast<std::uint8_t>(strength);
  }
  // Clutter comes in spikes: most cells return little, a few nearly the peak.
  const int clutterEnd = std::min(clutterEnd_, fixed.shadowStart);
  const std::uint8_t* clutterPeaks = clutter_.data();
  for (int i = 0; i < clutterEnd; ++i) {
    const std::uint32_t spike = random.NextByte();
    const auto clutter = static_cast<std::uint8_t>(clutterPeaks[i] * (spike * spike >> 8) >> 8);
    strengths[i] = std::max(strengths[i], clutter);
  }
  for (int i = 0; i < sampleCount_; ++i) {
    if (random.Next() >= noiseThreshold_) continue;
    const auto noise = static_cast<std::uint8_t>(kNoiseStrength + (random.Next() >> 27));
    strengths[i] = std::max(strengths[i], noise);
  }
  trailStamp_ = TrailMemory::StampAt(seconds);
  AddVessels(row, fixed.shadowStart, seconds);

  if (imoMode_) return strengths;
  for (int i = 0; i < sampleCount_; ++i) output_[static_cast<std::size_t>(i)] = strengths[i] >> kLevelShift;
  if (trailsOn_) {
    trails_->Overlay(row, output_.data(), trailStamp_, prepared_->trailTime * TrailMemory::kTicksPerSecond);
  }
  return output_.data();
}

void SweepGenerator::AddVessels(int row, int shadowStart, double seconds) {
  const double angle = row * (kAngleUnitsPerTurn / sweepsPerTurn_);
  for (const Vessel& vessel : scene_.Vessels()) {
    double x = 0.0, y = 0.0;
    Scene::VesselPosition(vessel, seconds, x, y);
    const double distance = std::hypot(x, y);
    if (distance < vessel.length) continue;  // alongside: lost in the own ship's echo
    double bearing = std::atan2(x, y) * kAngleUnitsPerRadian;
    if (bearing < 0.0) bearing += kAngleUnitsPerTurn;
    double offBeam = std::fabs(angle - bearing);
    if (offBeam > kAngleUnitsPerTurn / 2) offBeam = kAngleUnitsPerTurn - offBeam;
    const double halfLength = std::atan2(vessel.length / 2.0, distance) * kAngleUnitsPerRadian;
    const double halfWidth = beamHalfWidth_ + halfLength;
    if (offBeam > halfWidth) continue;

    // Strongest in the middle of the beam; stretched in range by the vessel's length and the pulse.
    const double ratio = offBeam / halfWidth;
    const double weight = 1.0 - 0.6 * ratio * ratio;
    const std::uint8_t strength =
        ToStrength(vessel.strength * weight * EchoAttenuation(distance) * echoFactor_);
    const double halfExtent = (vessel.length + pulseExtent_) / 2.0;
    const double limit = shadowStart;
    const int first = static_cast<int>(std::clamp(std::floor((distance - halfExtent) / cell_), 0.0, limit));
    int last = static_cast<int>(std::clamp(std::ceil((distance + halfExtent) / cell_), 0.0, limit));
    if (first >= shadowStart) continue;
    last = std::max(last, first + 1);
    std::uint8_t* strengths = strengths_.data();
    for (int i = first; i < last; ++i) strengths[i] = std::max(strengths[i], strength);
    const bool moving = vessel.vx != 0.0 || vessel.vy != 0.0;
    if (trailsOn_ && moving && strength >= kTrailMarkStrength) trails_->Mark(row, first, last, trailStamp_);
  }
}

}  // namespace radarsim

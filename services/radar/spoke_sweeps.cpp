#include "services/radar/spoke_sweeps.h"

#include "services/radar/range_table.h"
#include "services/radar/sweep_generator.h"

namespace radarsim {

SpokeSweeps::SpokeSweeps(SweepLayout layout, SpokeSweepSettings settings, double firstNauticalMiles)
    : layout_(layout), settings_(settings), rangeChosenFor_(firstNauticalMiles) {}

void SpokeSweeps::Take(const Spoke& spoke, SweepSettings& current, const RadarSource::SweepSink& deliver,
                       SourceOutcome& outcome) {
  outcome.lostSpokes += losses_.Take(spoke.scanCounter);
  const std::uint16_t angle = SweepAngleOf(spoke.angle, settings_.alignmentUnits);
  if (held_) EmitHeld(angle, current, deliver, outcome);
  if (startingOver_) {
    startingOver_ = false;
    lastAngle_.reset();
    ++outcome.turns;
  }
  if (!IsDrawnSpoke(spoke)) {
    held_.reset();
    return;
  }
  const double recorded = RecordedNauticalMiles(spoke.rangeMetres, settings_.rangeFactor);
  // A new recorded range selects its range setting; otherwise the host's choice stands.
  if (recorded != rangeChosenFor_) {
    rangeChosenFor_ = recorded;
    const int rangeIndex = RangeIndexFor(recorded, current.rangeUnit);
    if (rangeIndex != current.rangeIndex) {
      current.rangeIndex = rangeIndex;
      outcome.rangeIndex = rangeIndex;
    }
  }
  if (!held_) held_.emplace(HeldSpoke{});
  HeldSpoke& held = *held_;
  held.angle = angle;
  held.heading = SweepHeadingOf(spoke.headingWord);
  held.recordedNauticalMiles = recorded;
  held.levels.resize(static_cast<std::size_t>(layout_.sampleCount));
  ResampleStrengths(spoke.strengths, held.levels, layout_.byteStrengths);
}

void SpokeSweeps::Flush(const SweepSettings& current, const RadarSource::SweepSink& deliver,
                        SourceOutcome& outcome) {
  if (!held_) return;
  EmitHeld(static_cast<std::uint16_t>((held_->angle + kSpokeWidthUnits) % kAngleUnitsPerTurn), current, deliver,
           outcome);
  held_.reset();
}

void SpokeSweeps::Forget() {
  held_.reset();
  lastAngle_.reset();
  losses_.Restart();
}

void SpokeSweeps::EmitHeld(std::uint16_t untilAngle, const SweepSettings& settings,
                           const RadarSource::SweepSink& deliver, SourceOutcome& outcome) {
  const HeldSpoke& held = *held_;
  const int unitsPerRow = kAngleUnitsPerTurn / layout_.rows;
  const int rows = RowsToFill(held.angle, untilAngle, unitsPerRow);
  SweepRecord record;
  record.kind = kSweepKindSamples;
  record.samples = held.levels.data();
  record.sampleCount = static_cast<std::uint16_t>(layout_.sampleCount);
  record.rangeSampleCount = RangeSampleCountFor(RangeInNauticalMiles(settings.rangeIndex, settings.rangeUnit),
                                                held.recordedNauticalMiles, layout_.sampleCount);
  record.heading = held.heading;
  for (int row = 0; row < rows; ++row) {
    record.angle = static_cast<std::uint16_t>((held.angle + row * unitsPerRow) % kAngleUnitsPerTurn);
    // A turn ends where the angle falls back by more than half a turn; a datagram that arrived late
    // steps back only a little.
    if (lastAngle_ && *lastAngle_ - record.angle > kAngleUnitsPerTurn / 2) ++outcome.turns;
    lastAngle_ = record.angle;
    deliver(record);
    ++delivered_;
  }
}

}  // namespace radarsim

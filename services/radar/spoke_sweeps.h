#pragma once
// Spokes turned into the service's sweeps, the same for every source of real spokes: each spoke is held
// back until the next one arrives and then becomes the sweeps of the store rows it covers up to the next
// spoke's angle (its usual width across a gap of lost spokes). A spoke not to draw leaves its rows as they
// were. A new recorded range selects its range setting. Lost spokes are counted from the scan counter.
#include <cstdint>
#include <optional>
#include <vector>

#include "services/radar/capture_reader.h"
#include "services/radar/spoke_frame.h"
#include "services/radar/radar_source.h"
#include "services/radar/spoke_mapping.h"

namespace radarsim {

struct SpokeSweepSettings {
  int alignmentUnits = 0;   // the antenna's mounting offset in service units
  double rangeFactor = 1.0; // the range calibration
};

// The last spoke taken, held until the next one shows how far it reaches. Outside SpokeSweeps, whose
// optional of it needs the whole type (clang does not see its member initialisers before the class ends).
struct HeldSpoke {
  std::uint16_t angle = 0;
  std::int16_t heading = -1;
  double recordedNauticalMiles = 0.0;
  std::vector<std::uint8_t> levels;
};

class SpokeSweeps {
public:
  // `firstNauticalMiles`: the recorded range the range setting was chosen for at the start.
  SpokeSweeps(SweepLayout layout, SpokeSweepSettings settings, double firstNauticalMiles);

  // Delivers the held spoke up to `spoke`'s angle and holds `spoke`; `current` follows a new recorded range
  // and `outcome` tells it, with the turns completed and the spokes lost before this one.
  void Take(const Spoke& spoke, SweepSettings& current, const RadarSource::SweepSink& deliver,
            SourceOutcome& outcome);
  // Delivers the held spoke over its usual width and forgets it: no next spoke will come to reach for.
  void Flush(const SweepSettings& current, const RadarSource::SweepSink& deliver, SourceOutcome& outcome);

  // The spokes start over from their first (a capture played again): the next spoke begins a turn
  // wherever its angle lies.
  void StartOver() {
    startingOver_ = true;
    losses_.Restart();
  }
  // Forgets the held spoke and where the antenna was: what comes next starts afresh.
  void Forget();

  // Sweeps delivered since the counter was last cleared.
  int Delivered() const { return delivered_; }
  void ClearDelivered() { delivered_ = 0; }

private:
  void EmitHeld(std::uint16_t untilAngle, const SweepSettings& settings, const RadarSource::SweepSink& deliver,
                SourceOutcome& outcome);

  const SweepLayout layout_;
  const SpokeSweepSettings settings_;
  // The recorded range that last selected the range setting.
  double rangeChosenFor_ = 0.0;
  std::optional<HeldSpoke> held_;
  std::optional<std::uint16_t> lastAngle_;
  int delivered_ = 0;
  bool startingOver_ = false;
  SpokeLossCounter losses_;
};

}  // namespace radarsim

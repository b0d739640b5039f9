#pragma once
// The radar's state condensed into one status for the display: a code that names what keeps the echo
// picture from being trusted (0: nothing does) and, for a warm-up, the seconds still to wait.
#include <cstdint>

class ModuleDataSorvik;

struct TransmitterStatus {
  std::int32_t code = 0;
  std::int32_t value = 0;  // remaining warm-up seconds with kStatusWarmingUp, else 0
};

inline constexpr std::int32_t kStatusNone = 0;
inline constexpr std::int32_t kStatusWarmingUp = 5;

// A display's tick-count stamps (milliseconds) of the radar states the status times out on.
struct TransmitterTicks {
  std::uint32_t lastTransmitTick = 0;
  std::uint32_t lastSourceTick = 0;
};

// The current status of the radar of `dataModule`; may advance `ticks`.
TransmitterStatus ComputeTransmitterStatus(ModuleDataSorvik* dataModule, TransmitterTicks& ticks);

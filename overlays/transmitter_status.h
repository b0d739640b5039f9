#pragma once
// The radar's state condensed into one status for the display: a code that names what keeps the echo
// picture from being trusted (0: nothing does) and, for a warm-up, the seconds still to wait.
#include <cstdint>

struct OverlayInputs;

struct TransmitterStatus {
  std::int32_t code = 0;
  std::int32_t value = 0;  // remaining warm-up seconds with kStatusWarmingUp, else 0

  bool operator==(const TransmitterStatus&) const = default;
};

// The codes; any code but kStatusNone hides the echo picture.
inline constexpr std::int32_t kStatusNone = 0;
inline constexpr std::int32_t kStatusNoSweeps = 1;
inline constexpr std::int32_t kStatusStandby = 2;
inline constexpr std::int32_t kStatusOff = 3;
inline constexpr std::int32_t kStatusNotAvailable = 4;  // also hides the range rings
inline constexpr std::int32_t kStatusWarmingUp = 5;
inline constexpr std::int32_t kStatusWatchman = 6;
inline constexpr std::int32_t kStatusNavigationNotValid = 7;
inline constexpr std::int32_t kStatusSourceLost = 8;  // also hides the range rings
inline constexpr std::int32_t kStatusNoHeading = 9;

// How long a state stamp stays fresh: a time-out has passed when more milliseconds than this went by.
inline constexpr std::uint32_t kStatusTimeoutMs = 5000;

// A display's tick-count stamps (milliseconds) of the radar states the status times out on.
struct TransmitterTicks {
  std::uint32_t lastTransmitTick = 0;  // when the transmitter was last seen transmitting
  std::uint32_t lastSourceTick = 0;    // when the radar source was last seen present
};

// The current status of the radar whose settings and navigation `inputs` give (null for a display without
// a data module: only the missing sweeps can then be told) and whose last sweep arrived at tick
// `lastSweepTick`; time is GetTickCount's, its wrap included. Advances `ticks`. Strongest first: source
// lost, warming up, navigation not valid, no heading (also when there is no navigation source at all),
// watchman, standby / off / not available, no sweeps.
TransmitterStatus ComputeTransmitterStatus(const OverlayInputs* inputs, std::uint32_t lastSweepTick,
                                           TransmitterTicks& ticks);

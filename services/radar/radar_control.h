#pragma once
// The radar's controls and its power sequence, without threads or clocks: the simulator feeds it
// requests from the host, one tick per second and one call per completed antenna turn, and asks it what
// to publish and whether to transmit.
//
// Power sequence: opening the radar powers it on; the magnetron warms up for the configured time with
// the transmitter off, then the radar waits in standby until transmission is requested. Not available
// (the radar asleep) stops the antenna without cooling the magnetron; it returns to standby or
// transmission at once. The watchman,
// when given a period, wakes a radar left in standby after that many seconds, transmits a few antenna
// turns, and puts it back to standby.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "host/radar_fields.h"
#include "services/radar/simulator_config.h"

namespace radarsim {

// What the radar publishes in its state feature.
struct RadarState {
  int rangeIndex = 4;
  int rangeUnit = 0;
  int pulse = 0;
  int antenna = 2;
  int model = 0;
  // 1 while the radar is open and its processor answers.
  int sourceStatus = 0;
  int transmitState = kTransmitOff;
  // Seconds of warm-up left; the transmitter stays off meanwhile.
  int warmupLeft = 0;
  // Seconds of standby between two watchman looks; 0: watchman off.
  int watchmanPeriod = 0;
  // Seconds until the watchman's next look, while it waits in standby.
  int watchmanLeft = 0;
  // Seconds an echo trail lasts; 0: no trails.
  int trailTime = 0;
  // Receiver controls, 0 to 100.
  int gain = 50;
  int sea = 30;
  int rain = 0;
  int tune = 50;
  // Antenna turns per minute, rounded.
  int rotationRate = 24;
  // Where a recorded or received radar's spokes come from ("236.6.9.51:7059"); empty for the simulation.
  std::string spokeStream;
  // Spokes the radar sent that never arrived, counted from the jumps of their scan counters.
  int lostSpokes = 0;
};

// Values the host asks for; unset ones stay as they are.
struct StateRequest {
  std::optional<int> rangeIndex;
  std::optional<int> rangeUnit;
  std::optional<int> pulse;
  std::optional<int> transmitState;
  std::optional<int> watchmanPeriod;
  std::optional<int> gain;
  std::optional<int> sea;
  std::optional<int> rain;
  std::optional<int> tune;
};

struct ControlOutcome {
  // Something the radar publishes changed.
  bool changed = false;
  // A value was out of bounds or not allowed in the current state; the others were applied.
  bool refused = false;
};

constexpr int kLongestTrailTime = 3600;
constexpr int kLongestWatchmanPeriod = 24 * 3600;

class RadarControl {
public:
  // Settings from the configuration; the radar powered off and not answering.
  void Reset(const SimulatorConfig& config);
  // The radar answers: warm-up, or standby at once when there is no warm-up time.
  void PowerOn();
  // The radar stops answering; its settings stay as they were.
  void Shutdown();
  // Whether the radar's processor is heard (a radar on the network is lost while it sends nothing);
  // true when the published state changed.
  bool SetHeard(bool heard);
  bool IsPoweredOn() const { return poweredOn_; }
  ControlOutcome Apply(const StateRequest& request);
  ControlOutcome SetTrailTime(int seconds);
  // One second passed: the warm-up and the watchman count down.
  bool TickSecond();
  // The antenna completed a turn while transmitting: the watchman's look may be over.
  bool CompleteTurn();
  void SetSpokeStream(std::string stream) { state_.spokeStream = std::move(stream); }
  // Lost spokes are published with the next second, so that a lossy link does not announce every one.
  // A negative count takes back spokes counted lost that arrived late after all.
  void CountLostSpokes(int count);

  bool IsTransmitting() const { return state_.transmitState == kTransmitting; }
  bool IsWarmingUp() const { return state_.transmitState == kTransmitOff && state_.warmupLeft > 0; }
  const RadarState& State() const { return state_; }
  // The range setting as the state holds it, readable without the lock that guards the rest: it is
  // asked for with every sweep.
  void CurrentRange(int& rangeIndex, int& rangeUnit) const {
    const std::uint64_t range = range_.load(std::memory_order_relaxed);
    rangeIndex = static_cast<std::int32_t>(range >> 32);
    rangeUnit = static_cast<std::int32_t>(range & 0xFFFFFFFFu);
  }

private:
  ControlOutcome RequestTransmitState(int requested);
  // The warm-up and the watchman count one second down; true when the state changed.
  bool CountDownSecond();
  void EnterStandby();
  void FinishWarmup();
  void SetWatchmanPeriod(int seconds, ControlOutcome& outcome);
  // Every change of the range setting goes through here.
  void SetRange(int rangeIndex, int rangeUnit);

  RadarState state_;
  std::atomic<std::uint64_t> range_{0};  // state_'s range index above its unit
  int warmupSeconds_ = 0;
  bool transmitAfterWarmup_ = false;
  int watchmanLookTurns_ = 1;
  // Turns the watchman's current look still transmits; 0 when the radar transmits on request.
  int lookTurnsLeft_ = 0;
  bool poweredOn_ = false;
  int announcedLostSpokes_ = 0;
};

}  // namespace radarsim

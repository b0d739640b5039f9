#include "services/radar/radar_control.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "services/radar/range_table.h"

namespace radarsim {
namespace {

bool InBounds(int value, int low, int high) { return value >= low && value <= high; }

// Stores `value` into `field` when it lies within bounds; records what happened.
void SetBounded(int& field, const std::optional<int>& value, int low, int high, ControlOutcome& outcome) {
  if (!value) return;
  if (!InBounds(*value, low, high)) {
    outcome.refused = true;
  } else if (field != *value) {
    field = *value;
    outcome.changed = true;
  }
}

}  // namespace

void RadarControl::SetRange(int rangeIndex, int rangeUnit) {
  state_.rangeIndex = rangeIndex;
  state_.rangeUnit = rangeUnit;
  range_.store(std::uint64_t{static_cast<std::uint32_t>(rangeIndex)} << 32 | static_cast<std::uint32_t>(rangeUnit),
               std::memory_order_relaxed);
}

void RadarControl::Reset(const SimulatorConfig& config) {
  state_ = RadarState{};
  SetRange(config.rangeIndex, config.rangeUnit);
  state_.antenna = config.antenna;
  state_.model = config.model;
  state_.rotationRate = static_cast<int>(std::lround(config.rotationRate));
  warmupSeconds_ = config.warmupSeconds;
  transmitAfterWarmup_ = config.transmitAfterWarmup;
  watchmanLookTurns_ = config.watchmanLookTurns;
  lookTurnsLeft_ = 0;
  poweredOn_ = false;
  announcedLostSpokes_ = 0;
}

void RadarControl::PowerOn() {
  poweredOn_ = true;
  state_.sourceStatus = 1;
  state_.transmitState = kTransmitOff;
  state_.warmupLeft = warmupSeconds_;
  if (warmupSeconds_ == 0) FinishWarmup();
}

void RadarControl::FinishWarmup() {
  EnterStandby();
  if (transmitAfterWarmup_) state_.transmitState = kTransmitting;
}

void RadarControl::Shutdown() {
  poweredOn_ = false;
  state_.sourceStatus = 0;
  state_.transmitState = kTransmitOff;
  state_.warmupLeft = 0;
  state_.watchmanLeft = 0;
  lookTurnsLeft_ = 0;
}

void RadarControl::EnterStandby() {
  state_.transmitState = kTransmitStandby;
  state_.warmupLeft = 0;
  state_.watchmanLeft = state_.watchmanPeriod;
  lookTurnsLeft_ = 0;
}

bool RadarControl::SetHeard(bool heard) {
  const int status = poweredOn_ && heard ? 1 : 0;
  if (status == state_.sourceStatus) return false;
  state_.sourceStatus = status;
  return true;
}

ControlOutcome RadarControl::Apply(const StateRequest& request) {
  ControlOutcome outcome;
  if (!poweredOn_) {
    outcome.refused = true;
    return outcome;
  }
  // A unit and a range index arriving together are checked as a pair.
  const int unit = request.rangeUnit.value_or(state_.rangeUnit);
  const int index = request.rangeIndex.value_or(state_.rangeIndex);
  if ((request.rangeUnit || request.rangeIndex) && !IsValidRange(index, unit)) {
    outcome.refused = true;
  } else if (unit != state_.rangeUnit || index != state_.rangeIndex) {
    SetRange(index, unit);
    outcome.changed = true;
  }
  SetBounded(state_.pulse, request.pulse, kShortPulse, kLongPulse, outcome);
  SetBounded(state_.gain, request.gain, 0, 100, outcome);
  SetBounded(state_.sea, request.sea, 0, 100, outcome);
  SetBounded(state_.rain, request.rain, 0, 100, outcome);
  SetBounded(state_.tune, request.tune, 0, 100, outcome);
  if (request.watchmanPeriod) SetWatchmanPeriod(*request.watchmanPeriod, outcome);
  if (request.transmitState) {
    const ControlOutcome transmit = RequestTransmitState(*request.transmitState);
    outcome.changed |= transmit.changed;
    outcome.refused |= transmit.refused;
  }
  return outcome;
}

void RadarControl::SetWatchmanPeriod(int seconds, ControlOutcome& outcome) {
  if (!InBounds(seconds, 0, kLongestWatchmanPeriod)) {
    outcome.refused = true;
    return;
  }
  if (seconds == state_.watchmanPeriod) return;
  state_.watchmanPeriod = seconds;
  // A new period restarts the countdown of a radar waiting in standby.
  if (state_.transmitState == kTransmitStandby) state_.watchmanLeft = seconds;
  outcome.changed = true;
}

ControlOutcome RadarControl::RequestTransmitState(int requested) {
  ControlOutcome outcome;
  if (!InBounds(requested, kTransmitOff, kTransmitNotAvailable)) {
    outcome.refused = true;
    return outcome;
  }
  const int current = state_.transmitState;
  if (requested == current && !IsWarmingUp()) return outcome;
  outcome.changed = true;
  if (requested == kTransmitOff) {
    state_.transmitState = kTransmitOff;
    state_.warmupLeft = 0;
    state_.watchmanLeft = 0;
    lookTurnsLeft_ = 0;
    return outcome;
  }
  if (current == kTransmitOff) {
    // Powered down or warming up: only the warm-up leads on, and it ends in standby.
    if (IsWarmingUp()) {
      outcome.changed = false;
      outcome.refused = requested != kTransmitStandby;
      return outcome;
    }
    if (warmupSeconds_ > 0) {
      state_.warmupLeft = warmupSeconds_;
      outcome.refused = requested != kTransmitStandby;
      return outcome;
    }
  }
  if (requested == kTransmitStandby) {
    EnterStandby();
  } else {
    state_.transmitState = requested;
    state_.watchmanLeft = 0;
    lookTurnsLeft_ = 0;
  }
  return outcome;
}

ControlOutcome RadarControl::SetTrailTime(int seconds) {
  ControlOutcome outcome;
  if (!InBounds(seconds, 0, kLongestTrailTime)) {
    outcome.refused = true;
  } else if (seconds != state_.trailTime) {
    state_.trailTime = seconds;
    outcome.changed = true;
  }
  return outcome;
}

void RadarControl::CountLostSpokes(int count) {
  if (count > 0) state_.lostSpokes = count > INT_MAX - state_.lostSpokes ? INT_MAX : state_.lostSpokes + count;
  // Spokes counted lost that arrived late after all.
  if (count < 0) state_.lostSpokes = std::max(0, state_.lostSpokes + count);
}

bool RadarControl::TickSecond() {
  const bool lostMore = state_.lostSpokes != announcedLostSpokes_;
  announcedLostSpokes_ = state_.lostSpokes;
  return CountDownSecond() || lostMore;
}

bool RadarControl::CountDownSecond() {
  if (IsWarmingUp()) {
    if (--state_.warmupLeft == 0) FinishWarmup();
    return true;
  }
  if (state_.transmitState != kTransmitStandby || state_.watchmanPeriod == 0) return false;
  if (state_.watchmanLeft > 0 && --state_.watchmanLeft > 0) return true;
  // The watchman wakes the radar for a look.
  state_.transmitState = kTransmitting;
  state_.watchmanLeft = 0;
  lookTurnsLeft_ = watchmanLookTurns_;
  return true;
}

bool RadarControl::CompleteTurn() {
  if (lookTurnsLeft_ == 0 || !IsTransmitting()) return false;
  if (--lookTurnsLeft_ > 0) return false;
  EnterStandby();
  return true;
}

}  // namespace radarsim

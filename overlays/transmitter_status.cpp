#include "overlays/transmitter_status.h"

#include "common/no_value.h"
#include "host/navigation_source.h"
#include "host/radar_fields.h"
#include "overlays/overlay_inputs.h"
#include "settings/field_access.h"
#include "winbase.h"

namespace {

// Differences modulo 2^32, so that a stamp taken before the count wrapped is still close to now.
bool TimedOut(std::uint32_t now, std::uint32_t stamp) { return now - stamp > kStatusTimeoutMs; }

// The transmitter's state, looked at only when it was not seen transmitting in the last time-out.
void ApplyTransmitState(OGRFeature& settings, bool imoMode, std::uint32_t now, TransmitterTicks& ticks,
                        TransmitterStatus& status) {
  if (!TimedOut(now, ticks.lastTransmitTick)) return;
  int transmit = 0;
  if (!GetFieldInteger(&settings, &transmit, kFieldTransmit)) return;
  switch (transmit) {
    case kTransmitting: ticks.lastTransmitTick = now; break;
    case kTransmitOff: status.code = kStatusOff; break;
    case kTransmitStandby: status.code = kStatusStandby; break;
    case kTransmitNotAvailable: status.code = kStatusNotAvailable; break;
    default: break;
  }
  // A standby with a watchman time set is the watchman's rest between its transmit periods.
  int watchmanTime = 0;
  if (!imoMode && transmit == kTransmitStandby && GetFieldInteger(&settings, &watchmanTime, kFieldWatchmanTime) &&
      watchmanTime != 0) {
    status.code = kStatusWatchman;
  }
}

void ApplyNavigationState(NavigationSource* navigation, TransmitterStatus& status) {
  // Without a navigation source there is no heading either.
  double heading = NoValueDouble;
  if (navigation == nullptr || !navigation->GetHeading(&heading)) status.code = kStatusNoHeading;
  if (navigation != nullptr && navigation->QueryNavigationFlag()) status.code = kStatusNavigationNotValid;
}

void ApplyWarmUpAndSource(OGRFeature& settings, bool imoMode, std::uint32_t now, TransmitterTicks& ticks,
                          TransmitterStatus& status) {
  int warmUpTime = 0;
  if (!imoMode && GetFieldInteger(&settings, &warmUpTime, kFieldWarmUpTime) && warmUpTime > 0) {
    status = {kStatusWarmingUp, warmUpTime};
  }
  int sourceStatus = 0;
  if (!GetFieldInteger(&settings, &sourceStatus, kFieldSourceStatus)) return;
  if (sourceStatus != 0) {
    ticks.lastSourceTick = now;
  } else if (TimedOut(now, ticks.lastSourceTick)) {
    status = {kStatusSourceLost, 0};
  }
}

}  // namespace

// Each step may overwrite the code of the steps before it: the later the step, the stronger its code.
TransmitterStatus ComputeTransmitterStatus(const OverlayInputs* inputs, std::uint32_t lastSweepTick,
                                           TransmitterTicks& ticks) {
  TransmitterStatus status;
  const std::uint32_t now = GetTickCount();
  if (TimedOut(now, lastSweepTick)) status.code = kStatusNoSweeps;
  if (inputs == nullptr) return status;

  OGRFeature* settings = inputs->settings;
  if (settings != nullptr) ApplyTransmitState(*settings, inputs->imoMode, now, ticks, status);
  ApplyNavigationState(inputs->navigation, status);
  if (settings != nullptr) ApplyWarmUpAndSource(*settings, inputs->imoMode, now, ticks, status);
  return status;
}

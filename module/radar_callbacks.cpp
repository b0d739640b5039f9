#include "module/radar_callbacks.h"

#include <optional>

#include "display/sweep_store.h"
#include "host/radar_service.h"
#include "module/service_libraries.h"
#include "winbase.h"

namespace {

// The current range in nautical miles, or nothing when the radar cannot tell it. A call into the radar
// service: made before the store is locked, never under its lock.
std::optional<double> CurrentRangeDistance() {
  SorVikRadar* radar = GetSorVikRadar();
  if (radar == nullptr) return std::nullopt;
  int rangeValue = 0;
  int rangeUnit = 0;
  if (radar->GetCurrentRange(&rangeValue, &rangeUnit) != 0) return std::nullopt;
  return radar->RangeToDistance(rangeValue, rangeUnit);
}

}  // namespace

std::atomic<bool> RadarStateChanged{false};

void SweepCallback(const SweepRecord* sweep) {
  if (sweep == nullptr) return;
  SweepStore& store = TheSweepStore();
  store.StampSweepArrival(GetTickCount());
  store.AddSweep(sweep, CurrentRangeDistance());
}

void ChangeCallback() { RadarStateChanged.store(true, std::memory_order_release); }

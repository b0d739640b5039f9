#include "viewer/module_host/sweep_counter.h"

#include <dlfcn.h>

#include <atomic>

#include "host/radar_service.h"
#include "viewer/module_host/replay_own_ship.h"

namespace {

// The service's callbacks carry no context: the counts are the process's own.
std::atomic<long long> sweeps{0};
std::atomic<long long> turns{0};
std::atomic<int> lastAngle{-1};

constexpr int kAnglesPerTurn = 8192;

void CountSweep(const SweepRecord* sweep) {
  if (!sweep) return;
  sweeps.fetch_add(1, std::memory_order_relaxed);
  const int angle = sweep->angle % kAnglesPerTurn;
  const int previous = lastAngle.exchange(angle, std::memory_order_relaxed);
  // A turn is complete when the angle falls back by more than half a turn: the antenna passed the bow.
  if (previous >= 0 && previous - angle > kAnglesPerTurn / 2) turns.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

bool SweepCounter::Attach(std::string& error) {
  const std::string path = ReplayOwnShip::RadarServiceLibraryPath();
  // Only a library that is already loaded: the counter never opens a radar of its own.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!library) {
    error = "the radar service is not loaded from " + path;
    return false;
  }
  auto entry = reinterpret_cast<GetVKSorVikAPIFunction>(dlsym(library, "GetVKSorVikAPI"));
  VKSorVikAPI* api = entry ? entry() : nullptr;
  SorVikRadar* radar = api ? api->GetRadar() : nullptr;
  // The reference dlopen took is dropped; the module keeps the library loaded for the process's life.
  dlclose(library);
  if (!radar || radar->AddSweepCallback(CountSweep) != 0) {
    error = "the radar service takes no further sweep listener";
    return false;
  }
  radar_ = radar;
  return true;
}

void SweepCounter::Detach() {
  if (radar_) radar_->RemoveSweepCallback(CountSweep);
  radar_ = nullptr;
}

long long SweepCounter::Sweeps() const { return sweeps.load(std::memory_order_relaxed); }
long long SweepCounter::Turns() const { return turns.load(std::memory_order_relaxed); }

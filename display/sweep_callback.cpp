#include "display/sweep_callback.h"

#include "display/sweep_store.h"
#include "host/radar_service.h"
#include "kernel32/tick_count.h"
#include "module/service_libraries.h"

std::atomic<DWORD> lastSweepTick{0};

void SweepCallback(const SweepRecord* sweep) {
  if (sweep == nullptr) return;
  // Relaxed: the tick is a value of its own; nothing else is published through it.
  lastSweepTick.store(GetTickCount(), std::memory_order_relaxed);
  VKSorVikAPI* service = GetSorVikService();
  TheSweepStore().AddSweep(sweep, service != nullptr ? service->GetRadar() : nullptr);
}

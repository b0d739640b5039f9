// The radar service library's one entry: the host finds "GetVKSorVikAPI" and keeps the object it
// returns for the life of the process.
#include "host/radar_service.h"
#include "services/radar/simulated_radar_service.h"

extern "C" __attribute__((visibility("default"))) VKSorVikAPI* GetVKSorVikAPI() {
  static radarsim::SimulatedRadarService service;
  return &service;
}

// The radar service library's entries: the host finds "GetVKSorVikAPI" and keeps the object it
// returns for the life of the process; a host that follows a replayed capture's own ship reads the fix
// through kReadOwnShipFixEntry.
#include <type_traits>

#include "host/radar_service.h"
#include "services/radar/own_ship_fix.h"
#include "services/radar/own_ship_publisher.h"
#include "services/radar/simulated_radar_service.h"

extern "C" __attribute__((visibility("default"))) VKSorVikAPI* GetVKSorVikAPI() {
  static radarsim::SimulatedRadarService service;
  return &service;
}

extern "C" __attribute__((visibility("default"))) void ReadOwnShipFix(OwnShipFix* fix) {
  if (fix) *fix = radarsim::CurrentOwnShipFix();
}
static_assert(std::is_same_v<decltype(&ReadOwnShipFix), ReadOwnShipFixFunction>);

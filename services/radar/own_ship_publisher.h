#pragma once
// The service library's one own-ship fix: the replay writes it on the radar's thread, the host reads it
// on its own through the library's exported entry.
#include "services/radar/capture_reader.h"
#include "services/radar/own_ship_fix.h"

namespace radarsim {

// Merges what one navigation sentence told into the fix; parts it did not give stay as they were.
void PublishNavigation(const NavigationUpdate& update);
// Forgets the fix: a new session knows nothing of the ship yet.
void ClearOwnShipFix();
OwnShipFix CurrentOwnShipFix();

}  // namespace radarsim

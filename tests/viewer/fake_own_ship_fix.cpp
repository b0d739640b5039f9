// Stands in for the radar service library's own-ship entry; the test sets the fix it answers.
#include <mutex>

#include "services/radar/own_ship_fix.h"

namespace {

std::mutex fixMutex;
OwnShipFix currentFix{};

}  // namespace

extern "C" __attribute__((visibility("default"))) void ReadOwnShipFix(OwnShipFix* fix) {
  std::lock_guard lock(fixMutex);
  if (fix) *fix = currentFix;
}

extern "C" __attribute__((visibility("default"))) void SetFakeOwnShipFix(const OwnShipFix* fix) {
  std::lock_guard lock(fixMutex);
  currentFix = *fix;
}

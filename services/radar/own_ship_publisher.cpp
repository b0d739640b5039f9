#include "services/radar/own_ship_publisher.h"

#include <mutex>

namespace radarsim {
namespace {

std::mutex& FixMutex() {
  static std::mutex mutex;
  return mutex;
}

OwnShipFix& Fix() {
  static OwnShipFix fix{};
  return fix;
}

}  // namespace

void PublishNavigation(const NavigationUpdate& update) {
  const bool position = update.latitudeDegrees && update.longitudeDegrees;
  if (!position && !update.headingDegrees) return;
  std::lock_guard lock(FixMutex());
  OwnShipFix& fix = Fix();
  if (position) {
    fix.latitudeDegrees = *update.latitudeDegrees;
    fix.longitudeDegrees = *update.longitudeDegrees;
    fix.valid |= kOwnShipPositionValid;
  }
  if (update.headingDegrees) {
    fix.headingDegrees = *update.headingDegrees;
    fix.valid |= kOwnShipHeadingValid;
  }
  ++fix.updates;
}

void ClearOwnShipFix() {
  std::lock_guard lock(FixMutex());
  OwnShipFix& fix = Fix();
  const std::uint64_t updates = fix.updates;
  fix = OwnShipFix{};
  fix.updates = updates + 1;
}

OwnShipFix CurrentOwnShipFix() {
  std::lock_guard lock(FixMutex());
  return Fix();
}

}  // namespace radarsim

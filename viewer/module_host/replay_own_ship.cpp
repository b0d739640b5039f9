#include "viewer/module_host/replay_own_ship.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "common/units.h"

ReplayOwnShip::ReplayOwnShip(double latitudeRadians, double longitudeRadians, double headingRadians,
                             std::string serviceLibrary)
    : serviceLibrary_(std::move(serviceLibrary)),
      fallbackLatitude_(latitudeRadians),
      fallbackLongitude_(longitudeRadians),
      fallbackHeading_(headingRadians) {}

std::string ReplayOwnShip::RadarServiceLibraryPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return (program.parent_path() / ".." / "SORVIK" / "VKSorVik.dll").string();
}

ReadOwnShipFixFunction ReplayOwnShip::Entry() {
  if (ReadOwnShipFixFunction entry = entry_.load()) return entry;
  // Only a library the host already loaded: the reference taken here is kept, so that the entry stays
  // valid however the library is used after.
  void* library = dlopen(serviceLibrary_.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr) return nullptr;
  auto entry = reinterpret_cast<ReadOwnShipFixFunction>(dlsym(library, kReadOwnShipFixEntry));
  if (entry == nullptr) {
    dlclose(library);
    return nullptr;
  }
  ReadOwnShipFixFunction expected = nullptr;
  // Another thread found it first: its reference serves for both.
  if (!entry_.compare_exchange_strong(expected, entry)) dlclose(library);
  return entry;
}

OwnShipFix ReplayOwnShip::Fix() {
  OwnShipFix fix{};
  if (ReadOwnShipFixFunction entry = Entry()) entry(&fix);
  return fix;
}

PosType ReplayOwnShip::GetPosition() {
  const OwnShipFix fix = Fix();
  if ((fix.valid & kOwnShipPositionValid) == 0) return PosType(fallbackLatitude_, fallbackLongitude_);
  return PosType(fix.latitudeDegrees * kRadiansPerDegree, fix.longitudeDegrees * kRadiansPerDegree);
}

bool ReplayOwnShip::GetHeading(double* heading) {
  if (heading == nullptr) return false;
  const OwnShipFix fix = Fix();
  *heading = (fix.valid & kOwnShipHeadingValid) != 0 ? fix.headingDegrees * kRadiansPerDegree : fallbackHeading_;
  return true;
}

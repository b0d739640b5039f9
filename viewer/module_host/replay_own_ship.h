#pragma once
// The own ship as the radar service decodes it from a replayed capture: position and true heading from
// the service library's own-ship fix, found in the already loaded library. Until the service has a fix
// (the library is not loaded yet, the radar simulates, or the replay has not reached a navigation
// sentence) each part answers the fallback it was given. May be read from any thread.
#include <atomic>
#include <string>

#include "host/navigation_source.h"
#include "services/radar/own_ship_fix.h"

class ReplayOwnShip final : public NavigationSource {
public:
  // `serviceLibrary`: the radar service library's file; by default where the host loads it from.
  ReplayOwnShip(double latitudeRadians, double longitudeRadians, double headingRadians,
                std::string serviceLibrary = RadarServiceLibraryPath());

  PosType GetPosition() override;
  bool GetHeading(double* heading) override;
  bool QueryNavigationFlag() override { return false; }

  // The service's latest fix; no parts valid while it has none.
  OwnShipFix Fix();

  // The radar service library beside the host: ../SORVIK/VKSorVik.dll from the executable's folder.
  static std::string RadarServiceLibraryPath();

private:
  // The service's entry once its library is loaded; null before.
  ReadOwnShipFixFunction Entry();

  const std::string serviceLibrary_;
  const double fallbackLatitude_;
  const double fallbackLongitude_;
  const double fallbackHeading_;
  std::atomic<ReadOwnShipFixFunction> entry_{nullptr};
};

#pragma once
// The host objects the viewer hands the radar module: a navigation source for the own ship and a sink
// that prints the module's notices.
#include <atomic>
#include <cstdio>

#include "host/host_sink.h"
#include "host/navigation_source.h"

// An own ship lying at a fixed position with a fixed heading.
class FixedOwnShip : public NavigationSource {
public:
  FixedOwnShip(double latitudeRadians, double longitudeRadians, double headingRadians);
  PosType GetPosition() override;
  bool GetHeading(double* heading) override;
  bool QueryNavigationFlag() override;

private:
  PosType position_;
  double heading_;
};

// Prints every notice on standard output and counts them.
class PrintingSink : public HostSink {
public:
  void OnModuleNotice(const int& kind, const ModuleLayerKeyValue& subject) override;
  int NoticeCount() const { return notices_; }

private:
  int notices_ = 0;
};

#include "viewer/module_host/host_objects.h"

FixedOwnShip::FixedOwnShip(double latitudeRadians, double longitudeRadians, double headingRadians)
    : position_(latitudeRadians, longitudeRadians), heading_(headingRadians) {}

PosType FixedOwnShip::GetPosition() { return position_; }

bool FixedOwnShip::GetHeading(double* heading) {
  if (!heading) return false;
  *heading = heading_;
  return true;
}

bool FixedOwnShip::QueryNavigationFlag() { return false; }

void PrintingSink::OnModuleNotice(const int& kind, const ModuleLayerKeyValue& subject) {
  ++notices_;
  CString text;
  ToText(subject.GetKey(), text);
  std::printf("notice %d: kind %d, %s = %d\n", notices_, kind, text.GetString(), subject.GetValue());
}

#pragma once
// A navigation source that answers what the test sets: a fixed own-ship position, a heading or none,
// and the flag that marks the navigation data as not to be trusted.
#include <optional>

#include "host/navigation_source.h"

class FakeNavigation final : public NavigationSource {
public:
  explicit FakeNavigation(PosType position = PosType(0.5, 0.2), std::optional<double> heading = 0.0)
      : position_(position), heading_(heading) {}

  PosType GetPosition() override { return position_; }
  bool GetHeading(double* heading) override {
    if (!heading_) return false;
    *heading = *heading_;
    return true;
  }
  bool QueryNavigationFlag() override { return flagged_; }

  PosType position_;
  std::optional<double> heading_;  // none: the host has no heading
  bool flagged_ = false;
};

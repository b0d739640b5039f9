#pragma once
// The installed fonts, through fontconfig: which family answers a name, and its design metrics.
#include <optional>
#include <string>

namespace Gdiplus {

struct InstalledFamily {
  std::string name;
  double unitsPerEm = 0;
  double ascent = 0;
  double lineSpacing = 0;
};

// The family installed under `name`, or under a name the font configuration declares equivalent
// (a metric-compatible substitute); nothing when only a generic fallback would answer.
std::optional<InstalledFamily> FindInstalledFamily(const std::string& name);

}  // namespace Gdiplus

#pragma once
// The scene's fixed echoes (land, rain areas) for the current range, one row of cell codes per antenna
// angle. Rows are traced the first time the antenna passes them, so a change of range costs nothing at
// once and one ray trace per sweep during the first turn that follows.
#include <cstdint>
#include <vector>

#include "services/radar/scene.h"

namespace radarsim {

class FixedEchoRaster {
public:
  FixedEchoRaster(const Scene& scene, int rows, int samples, std::uint64_t seed);

  // Forgets the traced rows when the range changes.
  void SetRange(double rangeNauticalMiles);

  struct Row {
    const std::uint8_t* codes;
    // Cells from here on lie behind land, out of sight for sea and vessels.
    int shadowStart;
  };
  // The row at `row` (0 to rows - 1) for the current range.
  Row RowAt(int row);

private:
  const Scene& scene_;
  int rows_;
  int samples_;
  std::uint64_t seed_;
  double range_ = 0.0;
  std::vector<std::uint8_t> codes_;
  std::vector<int> shadowStarts_;
  std::vector<std::uint8_t> traced_;
};

}  // namespace radarsim

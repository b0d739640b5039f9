#include "services/radar/fixed_echo_raster.h"

#include <algorithm>
#include <numbers>

#include "services/radar/random.h"

namespace radarsim {

FixedEchoRaster::FixedEchoRaster(const Scene& scene, int rows, int samples, std::uint64_t seed)
    : scene_(scene),
      rows_(rows),
      samples_(samples),
      seed_(seed),
      codes_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(samples)),
      shadowStarts_(static_cast<std::size_t>(rows), samples),
      traced_(static_cast<std::size_t>(rows), 0) {}

void FixedEchoRaster::SetRange(double rangeNauticalMiles) {
  if (rangeNauticalMiles == range_) return;
  range_ = rangeNauticalMiles;
  std::fill(traced_.begin(), traced_.end(), std::uint8_t{0});
}

FixedEchoRaster::Row FixedEchoRaster::RowAt(int row) {
  const auto index = static_cast<std::size_t>(row);
  std::uint8_t* codes = codes_.data() + index * static_cast<std::size_t>(samples_);
  if (!traced_[index]) {
    const double bearing = 2.0 * std::numbers::pi * row / rows_;
    const double cell = range_ / samples_;
    scene_.TraceRay(bearing, cell, samples_, HashPair(seed_, index), codes, shadowStarts_[index]);
    traced_[index] = 1;
  }
  return {codes, shadowStarts_[index]};
}

}  // namespace radarsim

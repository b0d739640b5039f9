#include "services/radar/trail_memory.h"

#include <algorithm>
#include <cmath>

namespace radarsim {
namespace {

// Stamps run from 1 to kStampCycle; 0 marks an empty cell.
constexpr int kStampCycle = 65535;

}  // namespace

std::uint16_t TrailMemory::StampAt(double seconds) {
  const auto ticks = static_cast<std::uint64_t>(std::max(0.0, seconds) * kTicksPerSecond);
  return static_cast<std::uint16_t>(ticks % kStampCycle + 1);
}

TrailMemory::TrailMemory(int rows, int samples)
    : samples_(samples), stamps_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(samples), 0) {}

void TrailMemory::Clear() { std::fill(stamps_.begin(), stamps_.end(), std::uint16_t{0}); }

void TrailMemory::Mark(int row, int first, int last, std::uint16_t stamp) {
  std::uint16_t* cells = stamps_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(samples_);
  std::fill(cells + first, cells + last, stamp);
}

void TrailMemory::Overlay(int row, std::uint8_t* levels, std::uint16_t now, int lifetimeTicks) {
  std::uint16_t* cells = stamps_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(samples_);
  constexpr int kLevels = kNewestTrailLevel - kOldestTrailLevel + 1;
  for (int i = 0; i < samples_; ++i) {
    const int stamp = cells[i];
    if (stamp == 0) continue;
    const int age = (now - stamp + kStampCycle) % kStampCycle;
    if (age > lifetimeTicks) {
      cells[i] = 0;
    } else if (levels[i] == 0) {
      levels[i] = static_cast<std::uint8_t>(kNewestTrailLevel - age * kLevels / (lifetimeTicks + 1));
    }
  }
}

}  // namespace radarsim

#pragma once
// Where moving echoes were lately: one time stamp per sample cell. Cells a vessel's echo covered are
// stamped as the antenna passes; when the echo has moved on, the cell shows a trail level from 15 (just
// left) down to 8 (about to vanish) over the trail time, then forgets the stamp.
#include <cstdint>
#include <vector>

namespace radarsim {

constexpr std::uint8_t kNewestTrailLevel = 15;
constexpr std::uint8_t kOldestTrailLevel = 8;

class TrailMemory {
public:
  // Stamps count tenths of a second and wrap; a cell is visited every turn, long before its stamp
  // could come round again.
  static constexpr int kTicksPerSecond = 10;
  static std::uint16_t StampAt(double seconds);

  TrailMemory(int rows, int samples);
  void Clear();
  // Stamps the cells [first, last) of `row`.
  void Mark(int row, int first, int last, std::uint16_t stamp);
  // Gives every empty cell (level 0) of `levels` in `row` its trail level at `now`; stamps older than
  // `lifetimeTicks` are forgotten.
  void Overlay(int row, std::uint8_t* levels, std::uint16_t now, int lifetimeTicks);

private:
  int samples_;
  std::vector<std::uint16_t> stamps_;
};

}  // namespace radarsim

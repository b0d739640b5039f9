#pragma once
// A view's chart as last painted, kept so that each frame copies it under the radar instead of painting
// it again: painting a large chart takes many frames' time, copying it a fraction of one.
#include <array>
#include <cstdint>
#include <vector>

#include "extensions/d3d9.h"
#include "viewer/view_options.h"

class ChartLayers;
class ChartProjection;

class ChartCache {
public:
  // Puts the chart of `layers` seen through `projection` in `mode`'s colours on `surface`: painted afresh
  // when the view moved, zoomed or changed its size or mode since the last call (or after Forget), copied
  // from the pixels kept then otherwise.
  void PutUnder(const ViewSurface& surface, const ChartProjection& projection, const ChartLayers& layers,
                LightMode mode);
  // The next call paints again, as after a change of the chart's content.
  void Forget() { pixels_.clear(); }
  int Paints() const { return paints_; }

private:
  struct Key {
    std::array<double, 6> transform{};
    UINT width = 0;
    UINT height = 0;
    LightMode mode = LightMode::kDay;
    bool operator==(const Key&) const = default;
  };

  std::vector<std::uint32_t> pixels_;  // line after line, without padding
  Key key_;
  int paints_ = 0;
};

#include "viewer/chart/chart_cache.h"

#include <cstring>

#include "viewer/chart/chart_painter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"

namespace {

using Pixels = std::vector<std::uint32_t>;

void CopyRows(const ViewSurface& from, Pixels& to) {
  const std::size_t row = std::size_t{from.width} * sizeof(std::uint32_t);
  to.resize(std::size_t{from.width} * from.height);
  const auto* source = reinterpret_cast<const unsigned char*>(from.pixels);
  auto* destination = reinterpret_cast<unsigned char*>(to.data());
  if (from.pitch == row) {
    std::memcpy(destination, source, row * from.height);
    return;
  }
  for (UINT y = 0; y < from.height; ++y) std::memcpy(destination + row * y, source + std::size_t{from.pitch} * y, row);
}

void PasteRows(const Pixels& from, const ViewSurface& to) {
  const std::size_t row = std::size_t{to.width} * sizeof(std::uint32_t);
  const auto* source = reinterpret_cast<const unsigned char*>(from.data());
  auto* destination = reinterpret_cast<unsigned char*>(to.pixels);
  if (to.pitch == row) {
    std::memcpy(destination, source, row * to.height);
    return;
  }
  for (UINT y = 0; y < to.height; ++y) std::memcpy(destination + std::size_t{to.pitch} * y, source + row * y, row);
}

}  // namespace

void ChartCache::PutUnder(const ViewSurface& surface, const ChartProjection& projection, const ChartLayers& layers,
                          LightMode mode) {
  // The geotransform places every pixel: it changes with the view's centre, scale and corner.
  const Key key{projection.GeoTransform(), surface.width, surface.height, mode};
  if (!pixels_.empty() && key == key_) {
    PasteRows(pixels_, surface);
    return;
  }
  PaintChart(surface, projection, layers, ColoursFor(mode));
  ++paints_;
  CopyRows(surface, pixels_);
  key_ = key;
}

#pragma once
// Writes an RGBA picture as a GeoTIFF in spherical Mercator (EPSG:3857), the alpha band marked as such,
// so that a GIS lays it over its own chart.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// `rgba` holds `width` × `height` straight RGBA pixels; `geoTransform` is GDAL's affine transform of the
// pixel grid. False with the reason in `error` when the file cannot be written.
bool WriteGeoTiff(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                  const std::array<double, 6>& geoTransform, std::string& error);

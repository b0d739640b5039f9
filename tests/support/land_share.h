#pragma once
// How much of the radar's strong echo falls on the chart's land: measured on the radar's own drawing as the
// viewer writes it (GeoTIFF, alpha = opacity) against land polygons rasterised by GDAL into the same pixel
// grid. A correct picture puts the coast's echoes on land or at its edge; a turned or scaled one moves them
// into the water. Callers register GDAL's drivers (GDALAllRegister) first.
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace land_share {

// Level 4 to 7 echo in a single colour is drawn at opacity 128 to 182, levels 1 to 3 at 73 to 91.
inline constexpr int kStrongOpacity = 110;
// Echo this close to land counts as on it: the coast's own width and the texture's blur.
inline constexpr int kNearLandPixels = 2;

struct Picture {
  int width = 0, height = 0;
  double transform[6] = {};
  std::string projection;
  std::vector<std::uint8_t> red, green, alpha;
};

inline bool ReadPicture(const std::string& path, Picture& picture) {
  GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  if (!dataset || dataset->GetRasterCount() != 4 || dataset->GetGeoTransform(picture.transform) != CE_None) return false;
  picture.width = dataset->GetRasterXSize();
  picture.height = dataset->GetRasterYSize();
  picture.projection = dataset->GetProjectionRef();
  const std::size_t size = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  for (auto [band, pixels] : {std::pair{1, &picture.red}, std::pair{2, &picture.green}, std::pair{4, &picture.alpha}}) {
    pixels->resize(size);
    if (dataset->GetRasterBand(band)->RasterIO(GF_Read, 0, 0, picture.width, picture.height, pixels->data(),
                                               picture.width, picture.height, GDT_Byte, 0, 0, nullptr) != CE_None)
      return false;
  }
  return true;
}

// 1 on land or within kNearLandPixels of it, in the picture's pixel grid; empty when the land cannot be read.
inline std::vector<std::uint8_t> NearLandMask(const Picture& picture, const std::string& landPath) {
  GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
  GDALDatasetUniquePtr raster(memory->Create("", picture.width, picture.height, 1, GDT_Byte, nullptr));
  double transform[6];
  std::copy(std::begin(picture.transform), std::end(picture.transform), transform);
  raster->SetGeoTransform(transform);
  raster->SetProjection(picture.projection.c_str());
  GDALDatasetUniquePtr land(GDALDataset::Open(landPath.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  std::vector<std::uint8_t> mask;
  if (!land) return mask;
  int band = 1;
  double burn = 1.0;
  OGRLayerH layer = OGRLayer::ToHandle(land->GetLayer(0));
  if (GDALRasterizeLayers(GDALDataset::ToHandle(raster.get()), 1, &band, 1, &layer, nullptr, nullptr, &burn, nullptr,
                          nullptr, nullptr) != CE_None)
    return mask;
  std::vector<std::uint8_t> onLand(static_cast<std::size_t>(picture.width) * picture.height);
  if (raster->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, picture.width, picture.height, onLand.data(), picture.width,
                                         picture.height, GDT_Byte, 0, 0, nullptr) != CE_None)
    return mask;
  mask.assign(onLand.size(), 0);
  const int reach = kNearLandPixels;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (!onLand[static_cast<std::size_t>(y) * picture.width + x]) continue;
      for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (dx * dx + dy * dy > reach * reach || nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height)
            continue;
          mask[static_cast<std::size_t>(ny) * picture.width + nx] = 1;
        }
      }
    }
  }
  return mask;
}

// Where a viewer run left the own ship and the radar's range, from its summary.
struct RadarCircle {
  double latitude = 0.0, longitude = 0.0, rangeMiles = 0.0;
};

// The range is the summary's final one ("radar: STATE, range R NM"), not the one the run started with.
inline bool ReadRadarCircle(const std::string& output, RadarCircle& circle) {
  const std::size_t ship = output.find("\nown ship: ");
  const std::size_t radar = output.find("\nradar: ");
  const std::size_t range = radar == std::string::npos ? radar : output.find(", range ", radar);
  return ship != std::string::npos && range != std::string::npos &&
         std::sscanf(output.c_str() + ship, "\nown ship: %lf %lf", &circle.latitude, &circle.longitude) == 2 &&
         std::sscanf(output.c_str() + range, ", range %lf NM", &circle.rangeMiles) == 1;
}

struct Score {
  long strong = 0;       // strong echo pixels within the radar's range
  long onLand = 0;       // of those, on or near land
  // The share, in percent, on or near land; -1 when there is no strong echo.
  double Percent() const { return strong == 0 ? -1.0 : 100.0 * static_cast<double>(onLand) / strong; }
};

// Counts the strong echo pixels within the radar's range; beyond it the picture is not the radar's to
// answer for.
inline Score ScoreOnLand(const Picture& picture, const std::vector<std::uint8_t>& nearLand, const RadarCircle& circle) {
  const double latitude = circle.latitude * M_PI / 180.0, longitude = circle.longitude * M_PI / 180.0;
  const double shipX = (6378137.0 * longitude - picture.transform[0]) / picture.transform[1];
  const double shipY =
      (6378137.0 * std::log(std::tan(M_PI / 4.0 + latitude / 2.0)) - picture.transform[3]) / picture.transform[5];
  const double rangePixels = circle.rangeMiles * 1852.0 / (picture.transform[1] * std::cos(latitude));
  Score score;
  for (std::size_t i = 0; i < picture.alpha.size(); ++i) {
    const double x = static_cast<double>(i % static_cast<std::size_t>(picture.width)) + 0.5 - shipX;
    const double y = static_cast<double>(i / static_cast<std::size_t>(picture.width)) + 0.5 - shipY;
    if (x * x + y * y > rangePixels * rangePixels) continue;
    // Red echo only: the drawing's other parts (none are asked for) would not count.
    if (picture.alpha[i] < kStrongOpacity || picture.red[i] < picture.green[i] + 100) continue;
    ++score.strong;
    score.onLand += nearLand[i];
  }
  return score;
}

// Reads a run's GeoTIFF and summary and scores it; false with the reason in `error` when either is unusable.
// `nearLand` is made on the first call and reused for pictures of the same grid.
inline bool ScoreRun(const std::string& geotiff, const std::string& output, const std::string& landPath,
                     std::vector<std::uint8_t>& nearLand, Score& score, std::string& error) {
  Picture picture;
  if (!ReadPicture(geotiff, picture)) {
    error = "no picture in " + geotiff;
    return false;
  }
  if (nearLand.empty()) nearLand = NearLandMask(picture, landPath);
  if (nearLand.size() != picture.alpha.size()) {
    error = "the land mask does not fit " + geotiff;
    return false;
  }
  RadarCircle circle;
  if (!ReadRadarCircle(output, circle)) {
    error = "no own ship or range in the summary";
    return false;
  }
  score = ScoreOnLand(picture, nearLand, circle);
  return true;
}

}  // namespace land_share

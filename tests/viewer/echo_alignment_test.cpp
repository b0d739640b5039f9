// The replayed echo lies on the chart's land: measured on the radar's own drawing as the viewer writes
// it (GeoTIFF, alpha = opacity) against the land polygons rasterised by GDAL into the same pixel grid.
// The same capture replayed with the antenna turned 5 degrees either way, or with the range 6% short,
// must measure clearly worse, so that a real heading or range fault fails the measure.
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "viewer_runner.h"

namespace {

// Level 4 to 7 echo in a single colour is drawn at opacity 128 to 182, levels 1 to 3 at 73 to 91.
constexpr int kStrongOpacity = 110;
// Echo this close to land counts as on it: the coast's own width and the texture's blur.
constexpr int kNearLandPixels = 2;

struct Picture {
  int width = 0, height = 0;
  double transform[6] = {};
  std::string projection;
  std::vector<std::uint8_t> red, green, alpha;
};

bool ReadPicture(const std::string& path, Picture& picture) {
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

// 1 on land or within kNearLandPixels of it, in the picture's pixel grid.
std::vector<std::uint8_t> NearLandMask(const Picture& picture) {
  GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
  GDALDatasetUniquePtr raster(memory->Create("", picture.width, picture.height, 1, GDT_Byte, nullptr));
  double transform[6];
  std::copy(std::begin(picture.transform), std::end(picture.transform), transform);
  raster->SetGeoTransform(transform);
  raster->SetProjection(picture.projection.c_str());
  GDALDatasetUniquePtr land(
      GDALDataset::Open(SORVIK_SOURCE_DIR "/data/charts/wadden-land.geojson", GDAL_OF_VECTOR | GDAL_OF_READONLY));
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

// Where the run left the own ship and the radar's range, from its summary.
struct RadarCircle {
  double latitude = 0.0, longitude = 0.0, rangeMiles = 0.0;
};

bool ReadRadarCircle(const std::string& output, RadarCircle& circle) {
  const std::size_t ship = output.find("own ship: ");
  const std::size_t range = output.find(", range ");
  return ship != std::string::npos && range != std::string::npos &&
         std::sscanf(output.c_str() + ship, "own ship: %lf %lf", &circle.latitude, &circle.longitude) == 2 &&
         std::sscanf(output.c_str() + range, ", range %lf NM", &circle.rangeMiles) == 1;
}

// The share, in percent, of the strong echo pixels within the radar's range that lie on or near land;
// -1 when there is no such echo. Beyond the range the picture is not the radar's to answer for.
double ShareOnLand(const Picture& picture, const std::vector<std::uint8_t>& nearLand, const RadarCircle& circle) {
  const double latitude = circle.latitude * M_PI / 180.0, longitude = circle.longitude * M_PI / 180.0;
  const double shipX = (6378137.0 * longitude - picture.transform[0]) / picture.transform[1];
  const double shipY =
      (6378137.0 * std::log(std::tan(M_PI / 4.0 + latitude / 2.0)) - picture.transform[3]) / picture.transform[5];
  const double rangePixels = circle.rangeMiles * 1852.0 / (picture.transform[1] * std::cos(latitude));
  long strong = 0, onLand = 0;
  for (std::size_t i = 0; i < picture.alpha.size(); ++i) {
    const double x = static_cast<double>(i % static_cast<std::size_t>(picture.width)) + 0.5 - shipX;
    const double y = static_cast<double>(i / static_cast<std::size_t>(picture.width)) + 0.5 - shipY;
    if (x * x + y * y > rangePixels * rangePixels) continue;
    // Red echo only: the drawing's other parts (none are asked for) would not count.
    if (picture.alpha[i] < kStrongOpacity || picture.red[i] < picture.green[i] + 100) continue;
    ++strong;
    onLand += nearLand[i];
  }
  return strong == 0 ? -1.0 : 100.0 * static_cast<double>(onLand) / static_cast<double>(strong);
}

struct Variant {
  const char* name;
  double bearingAlignment;
  double rangeFactor;
};

// Writes the replay's INI with the given calibration; the capture is named by its absolute path.
std::string ReplayConfig(const Variant& variant) {
  const std::string path = Scratch(std::string("replay-") + variant.name + ".ini");
  std::ofstream(path) << "[Radar]\nWarmupSeconds = 1\nTransmitAfterWarmup = 1\nSource = replay\n"
                      << "Capture = " SORVIK_SOURCE_DIR "/data/recordings/halo_and_0183.pcap.gz\n"
                      << "Pace = recorded\nAtEnd = loop\nBearingAlignment = " << variant.bearingAlignment
                      << "\nRangeFactor = " << variant.rangeFactor << "\n";
  return path;
}

TEST(EchoAlignment, ReplayedEchoLiesOnTheCoastAndFaultsShow) {
  const Variant variants[] = {{"aligned", 0.0, 1.0}, {"turned-right", 5.0, 1.0}, {"turned-left", -5.0, 1.0},
                              {"short", 0.0, 0.94}};
  // All four replays run at once: each takes the recording's own time.
  std::vector<FILE*> runs;
  for (const Variant& variant : variants) {
    const std::string name = variant.name;
    runs.push_back(StartViewer("--radar-config " + ReplayConfig(variant) + " --profile " + Scratch(name + ".ini") +
                               " --output " + Scratch(name) + " --geotiff " + Scratch(name + ".tif") +
                               " --seconds 8 --size 1280x800 --echo-colour 0 --real-time off --printing"
                               " --hide 1:RINGS,TRAIL"));
  }
  GDALAllRegister();
  double shares[4] = {};
  std::vector<std::uint8_t> nearLand;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const ViewerResult result = FinishViewer(runs[i]);
    ASSERT_EQ(result.exitCode, 0) << variants[i].name << "\n" << result.output;
    Picture picture;
    ASSERT_TRUE(ReadPicture(Scratch(std::string(variants[i].name) + ".tif"), picture)) << variants[i].name;
    if (nearLand.empty()) nearLand = NearLandMask(picture);
    ASSERT_EQ(nearLand.size(), picture.alpha.size());
    RadarCircle circle;
    ASSERT_TRUE(ReadRadarCircle(result.output, circle)) << result.output;
    shares[i] = ShareOnLand(picture, nearLand, circle);
    std::printf("%s: %.1f%% of the strong echo on or near land\n", variants[i].name, shares[i]);
  }
  EXPECT_GT(shares[0], 40.0);
  EXPECT_GE(shares[0] - shares[1], 3.0) << "turned 5 degrees to the right";
  EXPECT_GE(shares[0] - shares[2], 3.0) << "turned 5 degrees to the left";
  EXPECT_GE(shares[0] - shares[3], 5.0) << "range 6% short";
}

}  // namespace

// The viewer program run as its user runs it: its refusals, its pictures, its GeoTIFF and what it keeps
// of its views in the profile.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <sys/stat.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "viewer_runner.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
// Where the viewer's fixed own ship lies.
constexpr double kShipLatitude = 53.0 + 10.7378 / 60.0;
constexpr double kShipLongitude = 5.0 + 16.0582 / 60.0;

// The simulated radar around the fixed own ship.
ViewerResult RunSimulated(const std::string& arguments) {
  return FinishViewer(
      StartViewer("--radar-config " SORVIK_SOURCE_DIR "/viewer/simulated-radar.ini --navigation fixed " + arguments));
}

// The same, with a profile of the test's own.
ViewerResult RunViewer(const std::string& arguments) {
  return RunSimulated("--profile " + Scratch("profile.ini") + " " + arguments);
}

// The simulated radar with a profile of the test's own, sent `signal` after `seconds`.
ViewerResult RunSignalled(const std::string& arguments, const char* signal, int seconds) {
  return FinishViewer(StartViewer("--radar-config " SORVIK_SOURCE_DIR "/viewer/simulated-radar.ini --navigation fixed "
                                  "--profile " + Scratch("profile.ini") + " " + arguments,
                                  "timeout --preserve-status -s " + std::string(signal) + " " + std::to_string(seconds)));
}

// The whole number stored under `key` in `section` of the INI file at `path`; -1 when absent.
int ProfileInt(const std::string& path, const std::string& section, const std::string& key) {
  std::ifstream file(path);
  std::string line;
  bool inSection = false;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] == '[') inSection = line == "[" + section + "]";
    else if (inSection && line.rfind(key + "=", 0) == 0) return std::atoi(line.c_str() + key.size() + 1);
  }
  return -1;
}

TEST(ViewerRun, RefusesBadRunsWithAReason) {
  struct Case {
    std::string arguments;
    int exitCode;
    const char* says;
  };
  const std::string fifo = Scratch("chart.fifo");
  mkfifo(fifo.c_str(), 0600);
  const std::string land = SORVIK_SOURCE_DIR "/data/charts/wadden-land.geojson";
  const std::string profile = Scratch("refused.ini");
  const std::string picture = Scratch("same.png");
  for (const Case& c : {Case{"--size 0x5", 2, "--size"}, Case{"--frobnicate", 2, "frobnicate"},
                        Case{"--module /no/such/module.so", 1, "cannot load the radar module"},
                        Case{"--output /proc/no-pictures-here", 2, "/proc/no-pictures-here"},
                        Case{"--land " SORVIK_SOURCE_DIR "/data/README.md", 2, "README.md"},
                        Case{"--profile /proc/no-profile-here/p.ini", 2, "/proc/no-profile-here"},
                        Case{"--profile ''", 2, "--profile: an empty path"},
                        Case{"--png /dev/null", 2, "not a regular file"},
                        Case{"--profile /dev/null", 2, "not a regular file"},
                        Case{"--land " + fifo, 2, "not a regular file"},
                        Case{"--png " + land, 2, "would overwrite --land"},
                        Case{"--png " + picture + " --geotiff " + picture, 2, "name the same file"},
                        Case{"--profile " + profile + " --png " + profile, 2, "name the same file"},
                        Case{"--views 2 --output " + Scratch("o") + " --png " + Scratch("o/view-2.png"), 2,
                             "name the same file"},
                        Case{"--seconds 2 --png-at 1 2", 2, "--png-at: 2 is not within"}}) {
    // No run gets as far as the profile.
    const ViewerResult run = RunSimulated(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("picture:"), std::string::npos) << run.output;
  }
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// The radar's own drawing lands in an RGBA GeoTIFF whose pixel grid puts the own ship where it is.
TEST(ViewerRun, GeoTiffPutsTheOwnShipWhereItIs) {
  const std::string tiff = Scratch("radar.tif");
  const std::string pictures = Scratch("pictures");
  const ViewerResult run =
      RunViewer("--seconds 5 --size 640x480 --png-at 1 4.99 --png-every 1 --output " + pictures + " --geotiff " + tiff);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  // The first paint is the first repaint; the last moment lies inside the run however the rounds fall.
  for (const char* name : {"view-1.png", "view-1-at-1.0s.png", "view-1-at-5.0s.png", "view-1-0001.png", "view-1-0003.png"})
    EXPECT_TRUE(std::filesystem::exists(pictures + "/" + name)) << name;
  GDALAllRegister();
  GDALDatasetUniquePtr dataset(GDALDataset::Open(tiff.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  ASSERT_TRUE(dataset);
  ASSERT_EQ(dataset->GetRasterCount(), 4);
  EXPECT_EQ(dataset->GetRasterBand(4)->GetColorInterpretation(), GCI_AlphaBand);
  const OGRSpatialReference* reference = dataset->GetSpatialRef();
  ASSERT_TRUE(reference);
  EXPECT_STREQ(reference->GetAuthorityCode(nullptr), "3857");

  double transform[6];
  ASSERT_EQ(dataset->GetGeoTransform(transform), CE_None);
  // The own ship is at the middle of the view in the run's last picture.
  double x = transform[0] + 320.0 * transform[1], y = transform[3] + 240.0 * transform[5];
  OGRSpatialReference wgs84;
  wgs84.importFromEPSG(4326);
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  std::unique_ptr<OGRCoordinateTransformation> toWgs84(OGRCreateCoordinateTransformation(reference, &wgs84));
  ASSERT_TRUE(toWgs84 && toWgs84->Transform(1, &x, &y));
  const double pixelDegrees = transform[1] / 6378137.0 / kDegree;
  EXPECT_NEAR(x, kShipLongitude, pixelDegrees);
  EXPECT_NEAR(y, kShipLatitude, pixelDegrees * std::cos(kShipLatitude * kDegree));

  std::vector<std::uint8_t> alpha(640 * 480);
  ASSERT_EQ(dataset->GetRasterBand(4)->RasterIO(GF_Read, 0, 0, 640, 480, alpha.data(), 640, 480, GDT_Byte, 0, 0,
                                                nullptr),
            CE_None);
  const double covered =
      static_cast<double>(std::count_if(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a > 0; })) /
      static_cast<double>(alpha.size());
  EXPECT_GT(covered, 0.01) << "the echo and the rings";
  EXPECT_LT(covered, 0.5) << "no chart under them";
}

// A view's size, light mode and hidden layers are kept per view index; a new view copies the first.
TEST(ViewerRun, KeepsItsViewsInTheProfile) {
  const std::string profile = Scratch("profile.ini");
  std::filesystem::remove(profile);
  const std::string pictures = Scratch("kept");
  ViewerResult run = RunViewer("--seconds 0 --views 2 --size 320x200 --mode night --hide 2:TRAIL,RINGS --output " + pictures);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ProfileInt(profile, "ModuleDisplay\\RadarDisplay_1", "NbLayer"), 2);

  run = RunViewer("--seconds 0 --views 3 --output " + pictures);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ProfileInt(profile, "Viewer", "Views"), 3);
  EXPECT_EQ(ProfileInt(profile, "Viewer\\View_1", "Width"), 320);
  EXPECT_EQ(ProfileInt(profile, "Viewer\\View_1", "Mode"), 2);
  EXPECT_EQ(ProfileInt(profile, "ModuleDisplay\\RadarDisplay_1", "NbLayer"), 2);
  EXPECT_EQ(ProfileInt(profile, "ModuleDisplay\\RadarDisplay_2", "NbLayer"),
            ProfileInt(profile, "ModuleDisplay\\RadarDisplay_0", "NbLayer"));
  GDALAllRegister();
  GDALDatasetUniquePtr second(GDALDataset::Open((pictures + "/view-2.png").c_str(), GDAL_OF_RASTER));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->GetRasterXSize(), 320);
}

// Ctrl-C, a service manager's SIGTERM or a closed terminal's SIGHUP end a long run as its time would.
TEST(ViewerRun, StopsCleanlyOnAStopSignal) {
  for (const char* signal : {"INT", "TERM", "HUP"}) {
    const std::string profile = Scratch("profile.ini");
    const std::string pictures = Scratch(std::string("stopped-") + signal);
    std::filesystem::remove(profile);
    const ViewerResult run = RunSignalled("--seconds 600 --size 160x100 --output " + pictures, signal, 2);
    EXPECT_EQ(run.exitCode, 0) << signal << "\n" << run.output;
    EXPECT_NE(run.output.find(std::string("stopped: by SIG") + signal), std::string::npos) << run.output;
    EXPECT_TRUE(std::filesystem::exists(pictures + "/view-1.png")) << signal;
    EXPECT_EQ(ProfileInt(profile, "Viewer", "Views"), 1) << signal;
  }
}

// The first line of the answer to a GET of `path` from the server on loopback `port`; empty on failure.
std::string StatusLineOf(int port, const char* path) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = std::string("GET ") + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    if (write(socket, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
      char buffer[512];
      const ssize_t got = read(socket, buffer, sizeof buffer);
      if (got > 0) answer.assign(buffer, static_cast<std::size_t>(got));
    }
  }
  close(socket);
  return answer.substr(0, answer.find("\r\n"));
}

// Served, the run goes on until it is stopped, answers while it runs, and ends as a stopped run does:
// exit 0 and the profile saved, but no pictures.
TEST(ViewerRun, ServesUntilStopped) {
  const std::string profile = Scratch("served.ini");
  const std::string pictures = Scratch("served");
  std::filesystem::remove(profile);
  FILE* pipe = StartViewer("--radar-config " SORVIK_SOURCE_DIR "/viewer/simulated-radar.ini --navigation fixed "
                           "--serve 127.0.0.1:0 --size 160x100 --profile " + profile + " --output " + pictures,
                           "timeout --preserve-status -s TERM 4");
  ASSERT_NE(pipe, nullptr);
  int port = 0;
  std::string head;
  char line[4096];
  while (port == 0 && std::fgets(line, sizeof line, pipe)) {
    head += line;
    std::sscanf(line, "serving: http://127.0.0.1:%d/", &port);
  }
  ASSERT_GT(port, 0) << head;
  EXPECT_EQ(StatusLineOf(port, "/"), "HTTP/1.1 200 OK");
  EXPECT_EQ(StatusLineOf(port, "/api/state"), "HTTP/1.1 200 OK");
  EXPECT_EQ(StatusLineOf(port, "/profile.ini"), "HTTP/1.1 404 Not Found");
  const ViewerResult run = FinishViewer(pipe);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("stopped: by SIGTERM"), std::string::npos) << "it ran until stopped\n" << run.output;
  EXPECT_EQ(ProfileInt(profile, "Viewer", "Views"), 1);
  EXPECT_FALSE(std::filesystem::exists(pictures + "/view-1.png"));
}

// Views larger than the memory the process may take end the run with a message, not an abort.
TEST(ViewerRun, SaysWhenTheViewsDoNotFitInMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' shadow memory does not fit under an address-space limit";
#endif
  const ViewerResult run = FinishViewer(StartViewer(
      "--radar-config " SORVIK_SOURCE_DIR "/viewer/simulated-radar.ini --navigation fixed --seconds 0 --profile " +
          Scratch("memory.ini") + " --views 8 --size 8192x8192 --output " + Scratch("memory"),
      "prlimit --as=3000000000"));
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("not enough memory"), std::string::npos) << run.output;
}

}  // namespace

#pragma once
// The viewer's command line.
#include <optional>
#include <string>
#include <vector>

#include "viewer/module_host/network_own_ship.h"

// How a view is lit; the values are those the displays read as "DAY_NIGHT_MODE".
enum class LightMode { kDay = 0, kDusk = 1, kNight = 2 };

// One chart view as the command line asks for it; unset parts come from the profile or the defaults.
struct ViewRequest {
  std::optional<int> width;
  std::optional<int> height;
  std::optional<LightMode> mode;
  // Layer names ("TRAIL_LAYER", ...) this view hides; set when the command line names them.
  std::optional<std::vector<std::string>> hiddenLayers;
};

// Radar settings changed as a host's property panel changes them; unset ones stay as they are.
struct RadarSettingsRequest {
  std::optional<int> rangeIndex;
  std::optional<int> echoColour;
  std::optional<int> trailColour;
  std::optional<int> trailTime;
  std::optional<bool> realTime;
  std::optional<double> shiftBearingDegrees;
  std::optional<double> shiftDistanceMiles;
  // Whether the viewer asks the radar to transmit once it stands by.
  bool transmit = true;
};

enum class NavigationChoice { kReplay, kFixed };

// Where the live view is served: an IPv4 address and a port (0: the system chooses one).
struct ServeAddress {
  std::string host = "127.0.0.1";
  int port = 8080;
};

struct ViewerOptions {
  std::string modulePath;
  std::string profilePath;
  // The radar service's INI file; empty: whatever SORVIK_RADAR_CONFIG names.
  std::string radarConfigPath;
  std::string landPath;
  std::string coastPath;
  NavigationChoice navigation = NavigationChoice::kReplay;
  // The own ship from NMEA 0183 on the network instead of the navigation choice.
  std::optional<NmeaFeed> nmea;
  double seconds = 8.0;
  double pollRate = 10.0;
  // The host repaints every view on its own this many times a second (0: only when a display asks).
  double hostRepaintRate = 1.0;
  bool imoMode = false;
  bool printing = false;
  std::vector<ViewRequest> views = std::vector<ViewRequest>(1);
  // Layers shown again in every view through the data module, after the views' own settings.
  std::vector<std::string> shownLayers;
  RadarSettingsRequest radar;
  // Where the pictures go; the final picture of the first view goes to pngPath when that is set.
  std::string outputFolder = "radar-pictures";
  std::string pngPath;
  std::vector<double> pngTimes;
  int pngEvery = 0;
  std::string geotiffPath;
  bool quiet = false;
  // Set: the views are served live to browsers and the run lasts until it is stopped (or its --seconds).
  std::optional<ServeAddress> serve;
  // What a browser on another machine must show to change settings; empty: one is made up at start.
  std::string controlToken;
};

// The largest view side the software device draws into.
inline constexpr int kMaxViewSide = 8192;
inline constexpr int kMaxViews = 8;
// The run's seconds when it is served and no --seconds is given: until it is stopped.
inline constexpr double kServeForever = 1e8;  // three years, well within the clock's range
// What one view holds per pixel: the chart's surface, the device's drawing surface, the cached chart and
// the radar drawn alone, four bytes each.
inline constexpr long long kViewBytesPerPixel = 16;
inline constexpr long long ViewBytes(long long width, long long height) { return width * height * kViewBytesPerPixel; }

enum class ParseOutcome { kRun, kHelpShown, kError };

// Reads `argv` into `options` (which holds the defaults). kError with a one-line reason in `error` on an
// unknown option, a missing or malformed value, or a value out of range; kHelpShown when --help was
// asked for and printed to `help`.
ParseOutcome ParseViewerOptions(int argc, const char* const* argv, ViewerOptions& options, std::string& error,
                                std::string& help);

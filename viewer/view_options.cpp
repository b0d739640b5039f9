#include "viewer/view_options.h"

#include <CLI/CLI.hpp>
#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char* const kLayerNames[] = {"RADAR_LAYER", "TRAIL_LAYER", "RINGS_LAYER"};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ParseWhole(std::string_view text, int low, int high, int& value) {
  int parsed = 0;
  const auto [stop, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (status != std::errc() || stop != text.data() + text.size() || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

// A number that is finite and within [low, high]; CLI11's own range check lets NaN through.
CLI::Validator FiniteWithin(double low, double high) {
  return CLI::Validator(
      [low, high](std::string& text) -> std::string {
        double value = 0.0;
        const auto [stop, status] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (status != std::errc() || stop != text.data() + text.size() || !std::isfinite(value) || value < low ||
            value > high)
          return "'" + text + "' is not a number from " + CLI::detail::to_string(low) + " to " +
                 CLI::detail::to_string(high);
        return {};
      },
      "");
}

// "WxH", each side from 1 to kMaxViewSide.
bool ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t cross = text.find('x');
  if (cross == std::string::npos) return false;
  return ParseWhole(std::string_view(text).substr(0, cross), 1, kMaxViewSide, width) &&
         ParseWhole(std::string_view(text).substr(cross + 1), 1, kMaxViewSide, height);
}

bool ParseLayerName(const std::string& text, std::string& name) {
  const std::string upper = Upper(text);
  for (const char* known : kLayerNames) {
    if (upper == known || upper + "_LAYER" == known) {
      name = known;
      return true;
    }
  }
  return false;
}

LightMode ModeNamed(const std::string& text) {
  if (text == "night") return LightMode::kNight;
  if (text == "dusk") return LightMode::kDusk;
  return LightMode::kDay;
}

// "VIEW:LAYER,LAYER" (VIEW counted from 1; nothing after the colon hides no layer) into `views`.
bool ApplyHidden(const std::string& text, std::vector<ViewRequest>& views, std::string& error) {
  error = "bad value for --hide: '" + text + "' (VIEW:LAYER[,LAYER...], VIEW from 1 to " +
          std::to_string(views.size()) + ", layers RADAR, TRAIL, RINGS)";
  const std::size_t colon = text.find(':');
  int view = 0;
  if (colon == std::string::npos ||
      !ParseWhole(std::string_view(text).substr(0, colon), 1, static_cast<int>(views.size()), view))
    return false;
  std::vector<std::string> layers;
  std::size_t start = colon + 1;
  while (start < text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    std::string name;
    if (!ParseLayerName(text.substr(start, comma - start), name)) return false;
    layers.push_back(name);
    start = comma + 1;
  }
  auto& hidden = views[static_cast<std::size_t>(view - 1)].hiddenLayers;
  if (!hidden) hidden.emplace();
  hidden->insert(hidden->end(), layers.begin(), layers.end());
  error.clear();
  return true;
}

// Spreads the per-view lists over `count` views: the n-th value goes to the n-th view, the last one to
// every view after it.
bool BuildViews(int count, const std::vector<std::string>& sizes, const std::vector<std::string>& modes,
                const std::vector<std::string>& hides, std::vector<ViewRequest>& views, std::string& error) {
  if (sizes.size() > static_cast<std::size_t>(count) || modes.size() > static_cast<std::size_t>(count)) {
    error = "more --size or --mode values than views (--views " + std::to_string(count) + ")";
    return false;
  }
  views.assign(static_cast<std::size_t>(count), ViewRequest{});
  for (std::size_t i = 0; i < views.size(); ++i) {
    if (!sizes.empty()) {
      const std::string& size = sizes[std::min(i, sizes.size() - 1)];
      int width = 0, height = 0;
      if (!ParseSize(size, width, height)) {
        error = "bad value for --size: '" + size + "' (WxH, each from 1 to " + std::to_string(kMaxViewSide) + ")";
        return false;
      }
      views[i].width = width;
      views[i].height = height;
    }
    if (!modes.empty()) views[i].mode = ModeNamed(modes[std::min(i, modes.size() - 1)]);
  }
  for (const std::string& hide : hides)
    if (!ApplyHidden(hide, views, error)) return false;
  return true;
}

// What the command line gives before it is checked and spread over the views.
struct CommandLine {
  int viewCount = 1;
  std::vector<std::string> sizes, modes, hides, shown;
  std::string navigation = "replay";
  std::string nmea;
  std::string realTime;
  bool standby = false;
  std::string serve;
};

// Validators whose own description would clutter the help: the type names say what the option takes.
CLI::Validator Quiet(CLI::Validator validator) { return validator.description(""); }

void AddRunOptions(CLI::App& app, ViewerOptions& options, CommandLine& line) {
  const char* group = "Run";
  app.add_option("--seconds", options.seconds, "How long the host follows the radar")
      ->type_name("SECONDS")->check(FiniteWithin(0, 1e6))->group(group)->capture_default_str();
  app.add_option("--poll-rate", options.pollRate, "Host loop rounds per second (Refresh and PollRedraw)")
      ->type_name("HZ")->check(FiniteWithin(0.5, 200))->group(group)->capture_default_str();
  app.add_option("--repaint-rate", options.hostRepaintRate,
                 "Repaints per second the host makes on its own; 0: only when a display asks")
      ->type_name("HZ")->check(FiniteWithin(0, 200))->group(group)->capture_default_str();
  app.add_flag("--imo", options.imoMode, "Type-approved presentation mode")->group(group);
  app.add_option("--module", options.modulePath, "The radar module to load")->type_name("FILE")->group(group);
  app.add_option("--profile", options.profilePath, "The host profile (INI file) views and radar settings live in")
      ->type_name("FILE")->group(group);
  app.add_option("--radar-config", options.radarConfigPath, "The radar service's INI file (else SORVIK_RADAR_CONFIG)")
      ->type_name("FILE")->check(Quiet(CLI::ExistingFile))->group(group);
  app.add_option("--navigation", line.navigation, "Own ship from the replayed NMEA, or fixed off Harlingen")
      ->type_name("replay|fixed")->check(Quiet(CLI::IsMember({"replay", "fixed"})))->group(group)
      ->capture_default_str();
  app.add_option("--nmea", line.nmea,
                 "Own ship from NMEA 0183 on the network: UDP datagrams (default port 10110) or a TCP server")
      ->type_name("udp:[ADDR:]PORT|tcp:HOST:PORT")->group(group);
  app.add_flag("--quiet", options.quiet, "No progress line")->group(group);
}

void AddServeOptions(CLI::App& app, ViewerOptions& options, CommandLine& line) {
  const char* group = "Live view";
  app.add_option("--serve", line.serve,
                 "Serve the views live to a browser (default 127.0.0.1:8080; port 0: any free port) and run "
                 "until stopped; no pictures are written")
      ->type_name("[ADDR:]PORT")->expected(0, 1)->group(group);
  app.add_option("--control-token", options.controlToken,
                 "What browsers on other machines give to change settings (else a random one is printed)")
      ->type_name("TOKEN")->group(group);
}

// "[ADDR:]PORT" with ADDR an IPv4 address ("localhost" for the loopback one) and PORT from 0 to 65535.
bool ParseServeAddress(const std::string& text, ServeAddress& address, std::string& error) {
  error = "bad value for --serve: '" + text + "' ([ADDR:]PORT, ADDR an IPv4 address, PORT from 0 to 65535)";
  ServeAddress parsed;
  if (text.empty()) {
    address = parsed;
    error.clear();
    return true;
  }
  const std::size_t colon = text.rfind(':');
  const std::string_view port = colon == std::string::npos ? std::string_view(text)
                                                            : std::string_view(text).substr(colon + 1);
  if (!ParseWhole(port, 0, 65535, parsed.port)) return false;
  if (colon != std::string::npos) {
    parsed.host = text.substr(0, colon);
    if (parsed.host == "localhost") parsed.host = "127.0.0.1";
    in_addr ignored{};
    if (inet_pton(AF_INET, parsed.host.c_str(), &ignored) != 1) return false;
  }
  address = parsed;
  error.clear();
  return true;
}

// A token of printable characters a URL carries as it is.
bool ValidToken(const std::string& token) {
  if (token.empty() || token.size() > 128) return false;
  return std::all_of(token.begin(), token.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == '~';
  });
}

void AddChartOptions(CLI::App& app, ViewerOptions& options, CommandLine& line) {
  const char* group = "Chart and views";
  app.add_option("--land", options.landPath, "Land polygons (any vector format GDAL reads)")
      ->type_name("FILE")->check(Quiet(CLI::ExistingFile))->group(group);
  app.add_option("--coast", options.coastPath, "Coast lines")
      ->type_name("FILE")->check(Quiet(CLI::ExistingFile))->group(group);
  app.add_option("--views", line.viewCount, "Number of chart views, each with its own radar display")
      ->type_name("N")->check(Quiet(CLI::Range(1, kMaxViews)))->group(group)->capture_default_str();
  app.add_option("--size", line.sizes,
                 "View size, once per view in order; the last applies to the rest. Each view needs about " +
                     std::to_string(kViewBytesPerPixel) + " bytes a pixel (" +
                     std::to_string(ViewBytes(1280, 800) >> 20) + " MB at 1280x800)")
      ->type_name("WxH")->group(group);
  app.add_option("--mode", line.modes, "Day, dusk or night colours, once per view in order")
      ->type_name("day|dusk|night")->check(Quiet(CLI::IsMember({"day", "dusk", "night"})))->group(group);
  app.add_option("--hide", line.hides, "Layers a view hides, VIEW counted from 1, e.g. 2:RINGS,TRAIL")
      ->type_name("VIEW:LAYERS")->group(group);
  app.add_option("--show", line.shown, "Layer shown again in every view (RADAR, TRAIL, RINGS)")
      ->type_name("LAYER")->group(group);
  app.add_flag("--printing", options.printing, "Draw as for printing (no status message)")->group(group);
}

void AddRadarOptions(CLI::App& app, RadarSettingsRequest& settings, CommandLine& line) {
  const char* group = "Radar settings (as a property panel sets them)";
  app.add_option("--range-index", settings.rangeIndex, "Range, as an index into the radar's range table")
      ->type_name("0-10")->check(Quiet(CLI::Range(0, 10)))->group(group);
  app.add_option("--echo-colour", settings.echoColour, "Echo colour: 0 red, 1 green, 2 yellow, 3 levels")
      ->type_name("0-3")->check(Quiet(CLI::Range(0, 3)))->group(group);
  app.add_option("--trail-colour", settings.trailColour, "Trail colour: -1 none, 0 to 2")
      ->type_name("-1..2")->check(Quiet(CLI::Range(-1, 2)))->group(group);
  app.add_option("--trail-time", settings.trailTime, "Trail time in seconds: 0 off, 15 or more")
      ->type_name("SECONDS")->check(Quiet(CLI::Range(0, 32767)))->group(group);
  app.add_option("--real-time", line.realTime, "Real-time presentation (sector fading and sweep highlight)")
      ->type_name("on|off")->check(Quiet(CLI::IsMember({"on", "off"})))->group(group);
  app.add_option("--shift-bearing", settings.shiftBearingDegrees,
                 "Direction of the picture's off-centre shift, degrees from the bow")
      ->type_name("DEGREES")->check(FiniteWithin(-360, 360))->group(group);
  app.add_option("--shift-distance", settings.shiftDistanceMiles, "Distance of the shift, nautical miles")
      ->type_name("NM")->check(FiniteWithin(0, 100))->group(group);
  app.add_flag("--standby", line.standby, "Leave the radar in standby instead of transmitting")->group(group);
}

void AddOutputOptions(CLI::App& app, ViewerOptions& options) {
  const char* group = "Output";
  app.add_option("--output", options.outputFolder, "Folder the pictures are written to")
      ->type_name("FOLDER")->group(group)->capture_default_str();
  app.add_option("--png", options.pngPath, "The first view's final picture goes to this file instead")
      ->type_name("FILE")->group(group);
  app.add_option("--png-at", options.pngTimes, "Also write the views at these seconds into the run")
      ->type_name("SECONDS")->check(FiniteWithin(0, 1e6))->group(group);
  app.add_option("--png-every", options.pngEvery, "Also write every N-th repaint of each view")
      ->type_name("N")->check(Quiet(CLI::Range(1, 1000000)))->group(group);
  app.add_option("--geotiff", options.geotiffPath,
                 "Write the first view's radar drawing alone as an RGBA GeoTIFF (EPSG:3857)")
      ->type_name("FILE")->group(group);
}

// The checks that span options, and the options that need more than CLI11 gives.
bool FinishOptions(const CLI::App& app, const CommandLine& line, ViewerOptions& options, std::string& error) {
  const std::pair<const char*, const std::string*> paths[] = {
      {"--output", &options.outputFolder}, {"--png", &options.pngPath}, {"--geotiff", &options.geotiffPath},
      {"--profile", &options.profilePath}};
  for (const auto& [name, path] : paths) {
    if (app.count(name) > 0 && path->empty()) {
      error = std::string("bad value for ") + name + ": an empty path";
      return false;
    }
  }
  for (const double moment : options.pngTimes) {
    if (moment >= options.seconds) {
      char text[128];
      std::snprintf(text, sizeof text, "bad value for --png-at: %g is not within the run's %g seconds", moment,
                    options.seconds);
      error = text;
      return false;
    }
  }
  RadarSettingsRequest& settings = options.radar;
  if (settings.shiftDistanceMiles.has_value() != settings.shiftBearingDegrees.has_value()) {
    error = "--shift-bearing and --shift-distance go together";
    return false;
  }
  // The radar takes no trail shorter than 15 seconds; the module would keep such a value without sending it.
  if (settings.trailTime && *settings.trailTime > 0 && *settings.trailTime < 15) {
    error = "bad value for --trail-time: " + std::to_string(*settings.trailTime) +
            " (0 turns trails off, else 15 or more)";
    return false;
  }
  if (!line.realTime.empty()) settings.realTime = line.realTime == "on";
  if (app.count("--serve") > 0) {
    ServeAddress address;
    if (!ParseServeAddress(line.serve, address, error)) return false;
    options.serve = address;
    // Served, the run lasts until it is stopped unless its time is given.
    if (app.count("--seconds") == 0) options.seconds = kServeForever;
    if (!options.pngPath.empty() || !options.pngTimes.empty() || options.pngEvery > 0 ||
        !options.geotiffPath.empty()) {
      error = "--serve writes no pictures: --png, --png-at, --png-every and --geotiff go without it";
      return false;
    }
  }
  if (app.count("--control-token") > 0 && !ValidToken(options.controlToken)) {
    error = "bad value for --control-token: 1 to 128 letters, digits or - _ . ~";
    return false;
  }
  settings.transmit = !line.standby;
  options.navigation = line.navigation == "fixed" ? NavigationChoice::kFixed : NavigationChoice::kReplay;
  if (app.count("--nmea") > 0) {
    NmeaFeed feed;
    if (!ParseNmeaFeed(line.nmea, feed, error)) return false;
    if (app.count("--navigation") > 0) {
      error = "--nmea and --navigation both choose the own ship: give one";
      return false;
    }
    options.nmea = feed;
  }
  for (const std::string& layer : line.shown) {
    std::string name;
    if (!ParseLayerName(layer, name)) {
      error = "bad value for --show: '" + layer + "' (RADAR, TRAIL or RINGS)";
      return false;
    }
    options.shownLayers.push_back(name);
  }
  return BuildViews(line.viewCount, line.sizes, line.modes, line.hides, options.views, error);
}

}  // namespace

ParseOutcome ParseViewerOptions(int argc, const char* const* argv, ViewerOptions& options, std::string& error,
                                std::string& help) {
  CLI::App app("The stand-in chart host: loads the radar module, shows the radar over a chart in one or more "
               "views and writes the views as pictures.",
               "sorvik_viewer");
  app.get_formatter()->column_width(34);
  CommandLine line;
  if (options.navigation == NavigationChoice::kFixed) line.navigation = "fixed";
  AddRunOptions(app, options, line);
  AddChartOptions(app, options, line);
  AddRadarOptions(app, options.radar, line);
  AddOutputOptions(app, options);
  AddServeOptions(app, options, line);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    help = app.help();
    return ParseOutcome::kHelpShown;
  } catch (const CLI::ParseError& failure) {
    error = failure.what();
    return ParseOutcome::kError;
  }
  return FinishOptions(app, line, options, error) ? ParseOutcome::kRun : ParseOutcome::kError;
}

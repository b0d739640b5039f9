// The stand-in chart host: loads the radar module the way a chart host does, connects it to the radar
// and the own ship, opens its chart views (a Mercator chart of land, coast and grid with the radar display
// drawn over it), follows the radar for a while as a host's UI loop does, and writes the views as
// pictures. `sorvik_viewer --help` lists the options.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <string>

#include "common/layer_keys.h"
#include "common/radar_identity.h"
#include "display/module_display.h"
#include "extensions/kernel32.h"
#include "extensions/mfc.h"
#include "module/module_data_sorvik.h"
#include "viewer/chart/chart_layers.h"
#include "viewer/live/control_queue.h"
#include "viewer/live/frame_hub.h"
#include "viewer/live/live_host.h"
#include "viewer/live/live_server.h"
#include "viewer/module_host/host_loop.h"
#include "viewer/module_host/host_objects.h"
#include "viewer/module_host/module_loader.h"
#include "viewer/module_host/network_own_ship.h"
#include "viewer/outputs/picture_outputs.h"
#include "viewer/outputs/png_file.h"
#include "viewer/module_host/radar_settings_view.h"
#include "viewer/module_host/radar_view.h"
#include "viewer/module_host/replay_own_ship.h"
#include "viewer/module_host/stop_request.h"
#include "viewer/module_host/sweep_counter.h"
#include "viewer/path_checks.h"
#include "viewer/view_options.h"
#include "viewer/module_host/view_profile.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 800;

std::string DataFile(const char* name) { return std::string(SORVIK_SOURCE_DIR "/data/charts/") + name; }

int Fail(const std::string& message, int code = 1) {
  std::fprintf(stderr, "sorvik_viewer: %s\n", message.c_str());
  return code;
}

void PrintIdentity(ModuleData& data) {
  const ProfileSections sections = data.GetProfileSections();
  std::printf("module: %s\n", data.GetName().GetString());
  std::printf("data section: %s\n", sections.dataSection.GetString());
  std::printf("display section: %s\n", sections.displaySection.GetString());
  ModuleLayerKeyList layers = data.GetLayers();
  layers.Rewind();
  ModuleLayerKey key;
  while (layers.Next(key)) {
    CString text;
    ToText(key, text);
    std::printf("layer: %s\n", text.GetString());
  }
}

ModuleLayerKeyList RadarLayerKeys(const std::vector<std::string>& names) {
  ModuleLayerKeyList keys;
  for (const std::string& name : names) keys.Add(ModuleLayerKey(kRadarModuleName, name.c_str()));
  return keys;
}

// The radar service reads its INI file when the radar opens: an option naming it goes before that.
bool ChooseRadarConfig(const ViewerOptions& options, std::string& error) {
  if (!options.radarConfigPath.empty())
    setenv("SORVIK_RADAR_CONFIG", std::filesystem::absolute(options.radarConfigPath).c_str(), 1);
  const char* named = std::getenv("SORVIK_RADAR_CONFIG");
  if (named && *named && !std::filesystem::is_regular_file(named)) {
    error = std::string("cannot read the radar configuration ") + named;
    return false;
  }
  std::printf("radar configuration: %s\n", named && *named ? named : "(the service's own)");
  return true;
}

// Opens the views: a view the profile knows is restored from it, a new one copies the displays of the
// views before it; then the command line has its say.
bool OpenViews(ModuleDataSorvik& radar, const ChartLayers& chart, const ViewerOptions& options,
               std::vector<std::unique_ptr<RadarView>>& views, std::string& error) {
  const int stored = StoredViewCount();
  const PosType centre = radar.GetNavigationSource()->GetPosition();
  ModuleDisplayList opened;
  for (std::size_t i = 0; i < options.views.size(); ++i) {
    const ViewRequest& request = options.views[i];
    const int index = static_cast<int>(i);
    const StoredView remembered = index < stored ? ReadStoredView(index) : StoredView{};
    const int width = request.width.value_or(remembered.width.value_or(kDefaultWidth));
    const int height = request.height.value_or(remembered.height.value_or(kDefaultHeight));
    auto view = RadarView::Create(width, height, centre, radar, chart, error);
    if (!view) return false;
    view->SetMode(request.mode.value_or(remembered.mode.value_or(LightMode::kDay)));
    view->SetPrinting(options.printing);
    if (ModuleDisplay* display = view->Display()) {
      if (index < stored)
        display->LoadSettings(static_cast<std::int16_t>(index));
      else if (!opened.empty())
        display->CopySettingsFrom(opened);
      if (request.hiddenLayers) display->SetHiddenLayers(RadarLayerKeys(*request.hiddenLayers));
      opened.push_back(display);
    } else {
      std::printf("the radar module offers no display: view %d shows the chart alone\n", index + 1);
    }
    views.push_back(std::move(view));
  }
  if (!options.shownLayers.empty()) radar.ShowLayers(RadarLayerKeys(options.shownLayers));
  return true;
}

void StoreViews(std::vector<std::unique_ptr<RadarView>>& views) {
  for (std::size_t i = 0; i < views.size(); ++i) {
    const auto index = static_cast<std::int16_t>(i);
    if (ModuleDisplay* display = views[i]->Display()) display->SaveSettings(index);
    const ChartProjection& projection = views[i]->Chart().Projection();
    StoreView(index, projection.Width(), projection.Height(), views[i]->Mode());
  }
  StoreViewCount(static_cast<int>(views.size()));
}

// A control token nobody can guess: 128 random bits in hexadecimal.
std::string RandomToken() {
  std::random_device random;
  std::string token;
  for (int i = 0; i < 4; ++i) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
    token += part;
  }
  return token;
}

// The live view of a served run: the frame hub, the control queue, the server on its own thread and the
// host's side of them.
struct LiveView {
  FrameHub hub;
  ControlQueue queue;
  std::optional<LiveServer> server;
  std::optional<LiveHost> host;

  ~LiveView() {
    // The server first: it reads the hub.
    if (server) server->Stop();
    hub.Stop();
  }
};

bool StartLiveView(LiveView& live, const ViewerOptions& options, LiveHost::Parts parts, std::string& error) {
  const ServeAddress& address = *options.serve;
  const bool loopback = address.host.rfind("127.", 0) == 0;
  std::string token = options.controlToken;
  if (token.empty() && !loopback) token = RandomToken();
  live.host.emplace(parts);
  live.hub.Start();
  live.server.emplace(live.hub, live.queue, token);
  if (!live.server->Start(address, error)) return false;
  std::printf("serving: http://%s:%d/\n", address.host.c_str(), live.server->Port());
  if (!loopback) std::printf("control token: %s\n", token.c_str());
  std::fflush(stdout);
  return true;
}

int RunViews(ModuleDataSorvik& radar, const ChartLayers& chart, const ViewerOptions& options,
             PictureOutputs& pictures, const StopRequest& stop, const PrintingSink& sink) {
  std::string error;
  if (!ApplyRadarSettings(radar.GetOGRLayer(0), options.radar, error)) return Fail(error);
  std::vector<std::unique_ptr<RadarView>> views;
  if (!OpenViews(radar, chart, options, views, error)) return Fail(error);

  SweepCounter counter;
  std::string counterError;
  const bool counting = counter.Attach(counterError);
  if (!counting) std::printf("sweeps are not counted: %s\n", counterError.c_str());
  HostLoopParts parts{radar, *radar.GetNavigationSource(), {}, pictures, counting ? &counter : nullptr, &stop};
  for (auto& view : views) parts.views.push_back(view.get());
  LiveView live;
  if (options.serve) {
    const LiveHost::Parts liveParts{radar, *radar.GetNavigationSource(), chart, sink, views, live.hub, live.queue,
                                    options.printing};
    if (!StartLiveView(live, options, liveParts, error)) {
      counter.Detach();
      return Fail(error, 2);
    }
    parts.live = &*live.host;
  }

  RunFigures figures;
  const double cpuBefore = ProcessCpuSeconds();
  bool ran = RunHostLoop(parts, options, figures, error);
  const double cpuSeconds = ProcessCpuSeconds() - cpuBefore;
  counter.Detach();
  if (live.server) live.server->Stop();
  // Served, the views were seen live: no pictures are written at the end.
  if (ran && !options.serve) ran = pictures.AtEnd(parts.views, error);
  std::printf("%s", SummaryText(figures, cpuSeconds).c_str());
  StoreViews(views);
  return ran ? 0 : Fail(error);
}

std::vector<NamedPath> RunInputs(const ViewerOptions& options) {
  const char* config = std::getenv("SORVIK_RADAR_CONFIG");
  return {{"--land", options.landPath},
          {"--coast", options.coastPath},
          {"the radar configuration", options.radarConfigPath.empty() && config ? config : options.radarConfigPath}};
}

std::vector<NamedPath> RunOutputs(const ViewerOptions& options, const PictureOutputs& pictures) {
  const std::string profile =
      options.profilePath.empty() ? std::string(AfxGetHostProfilePath().GetString()) : options.profilePath;
  std::vector<NamedPath> outputs{{"the profile", profile}, {"--geotiff", options.geotiffPath}};
  for (std::size_t i = 0; i < options.views.size(); ++i)
    outputs.push_back({"the picture of view " + std::to_string(i + 1), pictures.FinalPath(static_cast<int>(i))});
  return outputs;
}

// Whether the views' pixels fit in the machine's memory; false with a message saying what they need.
bool ViewsFitInMemory(const ViewerOptions& options, std::string& error) {
  long long needed = 0;
  for (const ViewRequest& view : options.views)
    needed += ViewBytes(view.width.value_or(kDefaultWidth), view.height.value_or(kDefaultHeight));
  const long long memory = static_cast<long long>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
  if (memory <= 0 || needed <= memory) return true;
  error = "not enough memory: the views need about " + std::to_string(needed >> 20) + " MB, the machine has " +
          std::to_string(memory >> 20) + " MB";
  return false;
}

int RunMain(int argc, char** argv) {
  // From here a stop signal ends the run as its time would: the profile kept, the last pictures written.
  const StopRequest stop;
  ViewerOptions options;
  options.modulePath = DefaultRadarModulePath();
  options.landPath = DataFile("wadden-land.geojson");
  options.coastPath = DataFile("wadden-coast.geojson");
  std::string error, help;
  switch (ParseViewerOptions(argc, argv, options, error, help)) {
    case ParseOutcome::kHelpShown: std::printf("%s", help.c_str()); return 0;
    case ParseOutcome::kError: return Fail(error + " (see --help)", 2);
    case ParseOutcome::kRun: break;
  }
  if (!ViewsFitInMemory(options, error)) return Fail(error);
  PictureOutputs pictures(options);
  if (!CheckRunPaths(RunInputs(options), RunOutputs(options, pictures), error)) return Fail(error, 2);
  if (!pictures.Prepare(error)) return Fail(error, 2);
  if (!ChooseRadarConfig(options, error)) return Fail(error, 2);
  ChartLayers chart;
  if (!chart.Load(options.landPath, options.coastPath, error)) return Fail(error, 2);
  if (!options.profilePath.empty()) {
    // Views and radar settings go back to the profile at the end: a profile that cannot take them would
    // lose them silently.
    if (!CanWriteFile(options.profilePath, error)) return Fail(error, 2);
    AfxSetHostProfilePath(options.profilePath.c_str());
  }

  // The own ship from the replayed NMEA, or fixed off Harlingen heading 296 degrees, which is also where
  // the replay's ship lies until its first fix.
  const double latitude = (53.0 + 10.7378 / 60.0) * kDegree, longitude = (5.0 + 16.0582 / 60.0) * kDegree;
  const double heading = 296.0 * kDegree;
  FixedOwnShip fixedShip(latitude, longitude, heading);
  ReplayOwnShip replayedShip(latitude, longitude, heading);
  NavigationSource* navigation = &fixedShip;
  if (options.navigation == NavigationChoice::kReplay) navigation = &replayedShip;
  std::optional<NetworkOwnShip> networkShip;
  if (options.nmea) {
    networkShip.emplace(*options.nmea, latitude, longitude);
    if (!networkShip->Start(error)) return Fail("cannot read the own ship's NMEA: " + error, 2);
    navigation = &*networkShip;
  }

  LoadedModule module(options.modulePath);
  if (!module.IsLoaded()) return Fail("cannot load the radar module: " + module.Error());
  std::unique_ptr<ModuleData> data(module.CreateModuleData());
  if (!data) return Fail("the radar module created no data module");
  PrintIdentity(*data);

  PrintingSink sink;
  // The radar module is the host's radar data module: its connection operations are reached through
  // the class the module publishes.
  auto& radar = static_cast<ModuleDataSorvik&>(*data);
  if (!radar.Init(navigation, &sink, options.imoMode)) {
    data->Terminate();
    return Fail("the radar could not be opened");
  }
  std::printf("profile: %s\n", AfxGetHostProfilePath().GetString());
  const int status = RunViews(radar, chart, options, pictures, stop, sink);
  std::printf("notices: %d\n", sink.NoticeCount());
  data->Terminate();
  // Destroying the data module writes the radar's settings to the profile.
  data.reset();
  const std::string profileFailure = TakeProfileWriteFailure();
  if (status != 0) return status;
  std::error_code ignored;
  if (options.serve) return profileFailure.empty() ? 0 : Fail("the views and radar settings were not saved: " + profileFailure);
  for (const std::string& path : pictures.Written()) std::printf("written: %s\n", path.c_str());
  std::printf("pictures: %s\n", std::filesystem::absolute(pictures.Folder(), ignored).c_str());
  std::printf("picture: %s\n", std::filesystem::absolute(pictures.FinalPath(0), ignored).c_str());
  if (!profileFailure.empty()) return Fail("the views and radar settings were not saved: " + profileFailure);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return RunMain(argc, argv);
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for the views and their pictures (see --help for what a view needs)");
  }
}

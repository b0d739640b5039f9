// The stand-in host: loads the radar module the way a chart host does, reports what it offers, connects
// it to the radar, switches the radar to transmit and follows it for a while as a host's UI loop would,
// with one chart view around the own ship on which the radar display draws. The view is written to a PNG
// file at the end.
//
//   sorvik_viewer [--seconds N] [--imo] [--profile FILE] [--module FILE]
//                 [--width PIXELS] [--height PIXELS] [--png FILE] [--png-every N]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "common/layer_keys.h"
#include "display/module_display.h"
#include "extensions/mfc.h"
#include "module/module_data_sorvik.h"
#include "viewer/display_painter.h"
#include "viewer/host_objects.h"
#include "viewer/module_loader.h"
#include "viewer/png_file.h"
#include "viewer/radar_settings_view.h"
#include "viewer/sea_chart_view.h"
#include "viewer/view_options.h"

namespace {

void PrintIdentity(ModuleData& data) {
  const ProfileSections sections = data.GetProfileSections();
  std::printf("module: %s\n", data.GetName().GetString());
  std::printf("data section: %s\n", sections.dataSection.GetString());
  std::printf("display section: %s\n", sections.displaySection.GetString());
  std::printf("file types: %zu\n", data.GetFileTypes().size());
  ModuleLayerKeyList layers = data.GetLayers();
  layers.Rewind();
  ModuleLayerKey key;
  while (layers.Next(key)) {
    CString text;
    ToText(key, text);
    std::printf("layer: %s\n", text.GetString());
  }
}

// The host's UI loop: refresh the module and poll the display ten times a second, repaint the view once
// a second of its own accord, ask for transmission once the radar stands by, report state changes as they
// come, and keep the view scaled to the range.
// False with the reason in `error` when a repaint could not be written.
bool FollowRadar(ModuleDataSorvik& radar, SeaChartView& view, DisplayPainter& painter, double seconds,
                 std::string& error) {
  constexpr int kRoundsPerHostRepaint = 10;
  using clock = std::chrono::steady_clock;
  OGRLayer* layer = radar.GetOGRLayer(0);
  const auto end = clock::now() + std::chrono::duration<double>(seconds);
  int lastTransmit = -1;
  for (int round = 1; clock::now() < end; ++round) {
    radar.Refresh();
    const int transmit = ReadRadarInteger(layer, "RAD_TXSTBY", -1);
    if (transmit != lastTransmit) {
      std::printf("transmitter state %d, warm-up %d s, range %.3f NM\n", transmit,
                  ReadRadarInteger(layer, "RAD_WARMUPTIME", 0), radar.GetRange());
      lastTransmit = transmit;
      if (transmit == 1 && !WriteRadarInteger(layer, "RAD_TXSTBY", 2))
        std::printf("the radar refused to transmit\n");
    }
    view.FitRange(radar.GetRange());
    if (!painter.Poll(round % kRoundsPerHostRepaint == 0, error)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::printf("radar feature: %s\n", DescribeRadarFeature(layer).c_str());
  return true;
}

// Shows the radar on `view` for the run and writes the final picture to the PNG path. The exit code of
// the run.
int RunRadarView(ModuleDataSorvik& radar, SeaChartView& view, const ViewerOptions& options) {
  std::unique_ptr<ModuleDisplay> display(radar.CreateDisplay());
  if (display) {
    display->LoadSettings(0);
  } else {
    std::printf("the radar module offers no display: the view shows open sea\n");
  }
  DisplayPainter painter(view, display.get(), options.pngPath, options.pngEvery);
  // The view's first paint, as when its window opens.
  painter.Repaint();
  std::string error;
  const bool followed = FollowRadar(radar, view, painter, options.seconds, error);
  if (followed) {
    painter.Repaint();
    std::printf("repaints: %d\n", painter.RepaintCount());
  }
  // The display goes before the device it drew with and before the radar stops.
  display.reset();
  if (!followed || !WritePng(view.Surface(), options.pngPath, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ViewerOptions options;
  options.modulePath = DefaultRadarModulePath();
  std::string error;
  if (!ParseViewerOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "%s\n%s", error.c_str(), ViewerUsage());
    return 2;
  }
  if (!CanWriteFile(options.pngPath, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (!options.profilePath.empty()) AfxSetHostProfilePath(options.profilePath.c_str());

  // The own ship off Harlingen, heading 296 degrees.
  constexpr double kDegree = M_PI / 180.0;
  FixedOwnShip ownShip((53.0 + 10.7378 / 60.0) * kDegree, (5.0 + 16.0582 / 60.0) * kDegree, 296.0 * kDegree);
  std::unique_ptr<SeaChartView> view =
      SeaChartView::Create(options.viewWidth, options.viewHeight, ownShip.GetPosition(), error);
  if (!view) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  LoadedModule module(options.modulePath);
  if (!module.IsLoaded()) {
    std::fprintf(stderr, "cannot load the radar module: %s\n", module.Error().c_str());
    return 1;
  }
  std::unique_ptr<ModuleData> data(module.CreateModuleData());
  if (!data) {
    std::fprintf(stderr, "the radar module created no data module\n");
    return 1;
  }
  PrintIdentity(*data);

  PrintingSink sink;
  // The radar module is the host's radar data module: its connection operations are reached through
  // the class the module publishes.
  auto& radar = static_cast<ModuleDataSorvik&>(*data);
  if (!radar.Init(&ownShip, &sink, options.imoMode)) {
    std::fprintf(stderr, "the radar could not be opened\n");
    data->Terminate();
    return 1;
  }
  std::printf("profile: %s\n", AfxGetHostProfilePath().GetString());
  const int status = RunRadarView(radar, *view, options);
  std::printf("notices: %d\n", sink.NoticeCount());
  data->Terminate();
  if (status == 0) {
    std::error_code ignored;
    std::printf("picture: %s\n", std::filesystem::absolute(options.pngPath, ignored).c_str());
  }
  return status;
}

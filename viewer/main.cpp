// The stand-in host: loads the radar module the way a chart host does, reports what it offers, connects
// it to the radar, switches the radar to transmit and follows it for a while as a host's UI loop would.
//
//   sorvik_viewer [--seconds N] [--imo] [--profile FILE] [--module FILE]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "common/layer_keys.h"
#include "extensions/mfc.h"
#include "module/module_data_sorvik.h"
#include "viewer/host_objects.h"
#include "viewer/module_loader.h"
#include "viewer/radar_settings_view.h"

namespace {

struct Options {
  std::string modulePath = DefaultRadarModulePath();
  std::string profilePath;
  double seconds = 8.0;
  bool imoMode = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--imo") {
      options.imoMode = true;
    } else if (argument == "--seconds" && hasValue) {
      options.seconds = std::atof(argv[++i]);
    } else if (argument == "--profile" && hasValue) {
      options.profilePath = argv[++i];
    } else if (argument == "--module" && hasValue) {
      options.modulePath = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--seconds N] [--imo] [--profile FILE] [--module FILE]\n", argv[0]);
      return false;
    }
  }
  return true;
}

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

// The host's UI loop: refresh the module ten times a second, ask for transmission once the radar
// stands by, and report state changes as they come.
void FollowRadar(ModuleDataSorvik& radar, double seconds) {
  using clock = std::chrono::steady_clock;
  OGRLayer* layer = radar.GetOGRLayer(0);
  const auto end = clock::now() + std::chrono::duration<double>(seconds);
  int lastTransmit = -1;
  while (clock::now() < end) {
    radar.Refresh();
    const int transmit = ReadRadarInteger(layer, "RAD_TXSTBY", -1);
    if (transmit != lastTransmit) {
      std::printf("transmitter state %d, warm-up %d s, range %.3f NM\n", transmit,
                  ReadRadarInteger(layer, "RAD_WARMUPTIME", 0), radar.GetRange());
      lastTransmit = transmit;
      if (transmit == 1 && !WriteRadarInteger(layer, "RAD_TXSTBY", 2))
        std::printf("the radar refused to transmit\n");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::printf("radar feature: %s\n", DescribeRadarFeature(layer).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  if (!options.profilePath.empty()) AfxSetHostProfilePath(options.profilePath.c_str());

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

  // The own ship off Harlingen, heading 296 degrees.
  constexpr double kDegree = M_PI / 180.0;
  FixedOwnShip ownShip((53.0 + 10.7378 / 60.0) * kDegree, (5.0 + 16.0582 / 60.0) * kDegree, 296.0 * kDegree);
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
  FollowRadar(radar, options.seconds);
  std::printf("notices: %d\n", sink.NoticeCount());
  data->Terminate();
  return 0;
}

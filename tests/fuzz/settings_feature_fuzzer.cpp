// Radar settings features as a host's property panel might hand them back to the radar layer: any
// field of the radar's state or of the module's own settings, with any OGR type, unset, null or holding
// any value, fields missing or doubled, or no feature at all. The layer forwards them to the simulated
// radar, keeps them, answers reads, and writes its settings to the profile when it is destroyed; the
// next layer restores them.
#include <ogr_feature.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "afxwin.h"
#include "extensions/mfc.h"
#include "fuzz_input.h"
#include "scratch_folder.h"
#include "services/radar/radar_simulator.h"
#include "settings/radar_ogr_data_source.h"
#include "settings/radar_settings_fields.h"

namespace {

constexpr int kMaxFields = 24;
// Features handed back per input: enough for every order of changes that matters, few enough that a long
// input does not spend itself on repeats.
constexpr int kMaxFeatures = 16;
constexpr std::size_t kMaxText = 64;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "radar settings: %s\n", what);
  std::abort();
}

constexpr OGRFieldType kTypes[] = {OFTInteger,   OFTInteger64,   OFTReal,   OFTString,     OFTIntegerList,
                                   OFTRealList, OFTStringList, OFTBinary, OFTDate,       OFTTime,
                                   OFTDateTime, OFTInteger64List};

// The simulated radar, opened once: a long warm-up keeps it from sweeping, but it answers and applies
// settings as it does at sea.
radarsim::RadarSimulator& Radar() {
  static radarsim::RadarSimulator* radar = [] {
    auto* made = new radarsim::RadarSimulator();
    radarsim::SimulatorConfig config;
    config.warmupSeconds = 3600;
    if (made->Open(config, false) != 0) Fail("the simulated radar does not open");
    return made;
  }();
  return *radar;
}

// Every field name the layer or the radar knows, so that the fuzzer hits them by index.
std::vector<std::string> KnownFieldNames() {
  std::vector<std::string> names;
  OGRFeature* state = Radar().GetStateFeature(0);
  if (!state) Fail("the radar gives no state");
  for (int i = 0; i < state->GetFieldCount(); ++i) names.emplace_back(state->GetFieldDefnRef(i)->GetNameRef());
  OGRFeature::DestroyFeature(state);
  OGRFeatureDefn module("MODULE");
  AppendModuleFields(module);
  for (int i = 0; i < module.GetFieldCount(); ++i) names.emplace_back(module.GetFieldDefn(i)->GetNameRef());
  return names;
}

void SetValue(OGRFeature& feature, int index, OGRFieldType type, FuzzInput& input) {
  switch (input.Byte() % 4) {
    case 0: return;  // unset
    case 1: feature.SetFieldNull(index); return;
    default: break;
  }
  switch (type) {
    case OFTReal: {
      double value = 0;
      const std::uint64_t bits = input.Quad();
      std::memcpy(&value, &bits, sizeof value);
      feature.SetField(index, value);
      return;
    }
    case OFTString: case OFTStringList: case OFTBinary: case OFTDate: case OFTTime: case OFTDateTime:
      feature.SetField(index, input.Text(kMaxText).c_str());
      return;
    case OFTInteger64: case OFTInteger64List:
      feature.SetField(index, static_cast<GIntBig>(input.Quad()));
      return;
    default:
      feature.SetField(index, static_cast<int>(input.Long()));
      return;
  }
}

// A feature of the fuzzer's own definition; null when the input asks for none.
OGRFeature* FuzzedFeature(FuzzInput& input, const std::vector<std::string>& names, OGRFeatureDefn*& definition) {
  definition = new OGRFeatureDefn("RADAR_PROPERTIES");
  definition->Reference();
  definition->SetGeomType(wkbNone);
  const int count = input.Byte() % (kMaxFields + 1);
  std::vector<OGRFieldType> types;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t pick = input.Byte();
    const std::string name = pick < names.size() ? names[pick] : input.Text(kMaxText);
    const OGRFieldType type = kTypes[input.Byte() % std::size(kTypes)];
    OGRFieldDefn field(name.c_str(), type);
    definition->AddFieldDefn(&field);
    types.push_back(type);
  }
  if (input.Byte() % 8 == 0) return nullptr;
  OGRFeature* feature = OGRFeature::CreateFeature(definition);
  feature->SetFID(static_cast<GIntBig>(input.Long()));
  for (int i = 0; i < count; ++i) SetValue(*feature, i, types[static_cast<std::size_t>(i)], input);
  return feature;
}

// The host profile the layers restore their settings from and write them to.
struct ScratchProfile {
  ScratchProfile() { AfxSetHostProfilePath(folder.File("profile.ini").c_str()); }
  FuzzScratchFolder folder;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchProfile profile;
  static CWinApp app;
  static const std::vector<std::string> names = KnownFieldNames();
  FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  const bool imo = (mode & 1) != 0;
  // Every layer writes its settings to the profile as it goes, key by key; restoring them in a second
  // layer doubles that, so only the inputs that ask for it do.
  const bool restore = (mode & 2) != 0;
  const RadarAccessor accessor = [] { return static_cast<SorVikRadar*>(&Radar()); };

  {
    RadarOGRDataSource source(imo, accessor);
    OGRLayer* layer = source.GetLayer(0);
    for (int n = 0; n < kMaxFeatures && !input.Empty(); ++n) {
      OGRFeatureDefn* definition = nullptr;
      OGRFeature* feature = FuzzedFeature(input, names, definition);
      if (layer->SetFeature(feature) != OGRERR_NONE) Fail("SetFeature reported an error");
      if (feature) OGRFeature::DestroyFeature(feature);
      definition->Release();
      if (input.Byte() & 1) source.GetRadarLayer().SetStale();
      OGRFeature* read = layer->GetFeature(0);
      if (!read || read->GetFID() != 0) Fail("the layer lost its feature");
      if (read->GetDefnRef() != layer->GetLayerDefn()) Fail("the feature's definition is not the layer's");
      OGRFeature::DestroyFeature(read);
    }
  }
  if (!restore) return 0;
  // The settings written back by the layer above are restored by the next one.
  RadarOGRDataSource restored(imo, accessor);
  OGRFeature* read = restored.GetLayer(0)->GetFeature(0);
  if (!read) Fail("restored layer has no feature");
  OGRFeature::DestroyFeature(read);
  return 0;
}

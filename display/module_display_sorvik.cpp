#include "display/module_display_sorvik.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "common/navigation_geometry.h"
#include "common/no_value.h"
#include "common/radar_identity.h"
#include "display/echo_colour.h"
#include "display/echo_geometry.h"
#include "display/echo_rows.h"
#include "display/echo_scene.h"
#include "display/echo_trails.h"
#include "host/chart_view.h"
#include "host/converter_api.h"
#include "host/navigation_source.h"
#include "host/radar_fields.h"
#include "host/render_context.h"
#include "host/vk_feature.h"
#include "module/module_data_sorvik.h"
#include "module/service_libraries.h"
#include "overlays/range_rings.h"
#include "overlays/status_message.h"
#include "settings/field_access.h"
#include "settings/radar_settings_fields.h"

namespace {

constexpr std::int32_t kNoHeadingWord = -1;
constexpr int kNoRange = -1;
constexpr std::uint16_t kRangeNotSeen = 0xFFFF;

constexpr std::uint32_t kEchoPassColour = 0xFFFFFF;
constexpr int kFullOpacity = 255;
constexpr int kDimmedForDusk = 1;
constexpr int kDimmedForNight = 2;
// How much of its opacity the echo has lost when the antenna comes round to it again: the oldest
// sector shows at about 60 %.
constexpr double kEchoFadeOverTurn = 0.4;
// The highlight behind the antenna: its opacity at full weight (the single-precision tenth of 254), held
// at most at its strongest, fading to none at 1/20 of a turn.
constexpr double kHighlightPeakOpacity = static_cast<double>(0.1f) * 254;
constexpr int kHighlightOpacity = 25;
constexpr double kHighlightFade = 20.0;
constexpr int kMultiColourIndex = 3;
constexpr long kPrintingBit = 1;

constexpr const char* kDayNightModeProperty = "DAY_NIGHT_MODE";
constexpr const char* kPrintingStatusProperty = "PRINTING_STATUS";

long DisplayProperty(const VKFeature* properties, const char* name) {
  long value = 0;
  if (properties != nullptr && !properties->GetValue(name, value)) value = 0;
  return value;
}

// The age of sector t (counted back from the sector under the antenna) as a fraction of a turn.
double SectorAge(int t) {
  const double age = static_cast<double>(t) / EchoGeometry::kSectors;
  return age < 0.0 ? age + 1.0 : age;
}

int EchoOpacity(double age, bool realTime, int dayNightMode) {
  int opacity = realTime ? static_cast<int>((1.0 - kEchoFadeOverTurn * age) * kFullOpacity) : kFullOpacity;
  if (dayNightMode == kDimmedForDusk) opacity >>= 1;
  if (dayNightMode == kDimmedForNight) opacity >>= 2;
  return opacity;
}

int HighlightOpacity(double age) {
  const double weight = std::max(0.0, 1.0 - kHighlightFade * age);
  return std::min(kHighlightOpacity, static_cast<int>(weight * kHighlightPeakOpacity));
}

UnitConverter* Converter() {
  ConverterAPI* service = GetConverterService();
  return service != nullptr ? service->GetConverter() : nullptr;
}

struct FeatureDeleter {
  void operator()(OGRFeature* feature) const { OGRFeature::DestroyFeature(feature); }
};
using FeaturePtr = std::unique_ptr<OGRFeature, FeatureDeleter>;

// A copy of the radar settings feature, or null when there is none.
FeaturePtr RadarSettingsFeature(ModuleDataSorvik& dataModule) {
  OGRLayer* layer = dataModule.GetOGRLayer(0);
  return FeaturePtr(layer != nullptr ? layer->GetFeature(0) : nullptr);
}

}  // namespace

ModuleDisplaySorvik::ModuleDisplaySorvik(ModuleData* dataModule, SweepStore& store)
    : ModuleDisplay(dataModule),
      SweepRecorderClient(store),
      dataModule_(dynamic_cast<ModuleDataSorvik*>(dataModule)),
      textures_(GetEchoGeometry()) {
  if (IsEchoGeometryConfigured()) sectors_.reset(new (std::nothrow) RadarSector[EchoGeometry::kSectors]);
  visible_ = 1;
  if (dataModule != nullptr) HideTrailsInNewView(dataModule->GetLayers(), hiddenLayers_);
}

// The sectors and textures go with their members; the textures release themselves.
ModuleDisplaySorvik::~ModuleDisplaySorvik() = default;

ModuleData* ModuleDisplaySorvik::GetDataModule() { return dataModule_; }

std::int16_t ModuleDisplaySorvik::PollRedraw() {
  if (!IsVisible()) return 0;
  Poll();
  const bool echoChanged = newEchoData_ != 0;
  newEchoData_ = 0;
  const FeaturePtr settings = dataModule_ != nullptr ? RadarSettingsFeature(*dataModule_) : nullptr;
  const OverlayInputs inputs = OverlayInputsWith(settings.get());
  const TransmitterStatus status = ComputeTransmitterStatus(dataModule_ != nullptr ? &inputs : nullptr,
                                                            Store().GetLastSweepTick(), statusTicks_);
  const bool statusChanged = status.code != lastStatus_.code ||
                             (status.code == kStatusWarmingUp && status.value != lastStatus_.value);
  if (statusChanged) {
    lastStatus_ = status;
    return 1;
  }
  return echoChanged ? 1 : 0;
}

bool ModuleDisplaySorvik::IsInRadarRange(ScreenPoint point, CoordinateConverter* converter) {
  if (dataModule_ == nullptr || converter == nullptr) return false;
  PosType position;
  converter->ScreenToGeo(position, point);
  NavigationSource* navigation = dataModule_->GetNavigationSource();
  if (navigation == nullptr) return false;
  const PosType ownShip = navigation->GetPosition();
  double bearing = 0.0;
  double arc = 0.0;
  if (!BearingDistance(ownShip.latitude, ownShip.longitude, position.latitude, position.longitude,
                       kGreatCircleRoute, bearing, arc)) {
    return false;
  }
  UnitConverter* units = Converter();
  if (units == nullptr) return false;
  const double nauticalMiles = units->Convert(&arc, converter_units::kArcRadians, converter_units::kNauticalMiles);
  if (nauticalMiles == kConverterNoValue) return false;
  return nauticalMiles <= Store().GetSweepDistance();
}

void ModuleDisplaySorvik::OnStoreResized(int rows, int rowLength) {
  textures_.ReleaseAll();
  storeRows_ = rows;
  storeRowLength_ = rowLength;
}

bool ModuleDisplaySorvik::OnNewSweeps() {
  if (dataModule_ == nullptr || !textures_.HasTextures() || storeRows_ <= 0) return false;
  EchoSettings settings;
  ReadEchoSettings(RadarSettingsFeature(*dataModule_).get(), settings);
  const std::optional<EchoRowRun> run = EchoRowsToRewrite(storeRows_, seenCursor_, polledCursor_, settings.realTime);
  if (run) RewriteRows(*run, settings);
  return true;
}

void ModuleDisplaySorvik::RewriteRows(EchoRowRun run, const EchoSettings& settings) {
  newEchoData_ = 1;
  const int trailIndex = TrailColourIndexInView(settings.trailColourIndex, IsLayerVisible(TrailLayerKey()));
  UpdateEchoRows(trailIndex, settings.echoColourIndex, run, Store(), &textures_);
}

bool ModuleDisplaySorvik::Draw(ChartView* view, int, VKFeature* displayProperties, int) {
  if (dataModule_ == nullptr || view == nullptr || view->GetRenderMode() != kDisplayRenderMode) return true;
  const int dayNightMode = static_cast<int>(DisplayProperty(displayProperties, kDayNightModeProperty));
  const long printingStatus = DisplayProperty(displayProperties, kPrintingStatusProperty);
  view->GetViewDC(0);

  // One copy of the settings serves everything this repaint draws.
  const FeaturePtr settings = RadarSettingsFeature(*dataModule_);
  const OverlayInputs inputs = OverlayInputsWith(settings.get());
  if (settings != nullptr && inputs.navigation != nullptr) {
    const EchoPlacement placement = PlaceEcho(*inputs.navigation, settings.get());
    ClearOnRangeChange(settings.get());
    RenderContext* context = lastStatus_.code == kStatusNone ? view->GetRenderContext() : nullptr;
    // A display built before the echo geometry was fixed has no sectors to draw the echo with.
    IDirect3DDevice9* device = context != nullptr && sectors_ != nullptr ? context->GetDevice() : nullptr;
    if (device != nullptr) {
      EchoSettings echoSettings;
      ReadEchoSettings(settings.get(), echoSettings);
      DrawEcho(*view, *context, device, placement, echoSettings, dayNightMode);
      context->EndUse();
    }
    DrawRingsAndLabels(view, inputs, placement.centre.latitude, placement.centre.longitude, dayNightMode,
                       static_cast<std::int32_t>(printingStatus));
  }
  if ((printingStatus & kPrintingBit) == 0)
    DrawStatusMessage(view, &inputs, Store().GetLastSweepTick(), statusTicks_);
  return true;
}

OverlayInputs ModuleDisplaySorvik::OverlayInputsWith(OGRFeature* settings) {
  OverlayInputs inputs;
  inputs.settings = settings;
  if (dataModule_ != nullptr) {
    inputs.imoMode = dataModule_->GetImoMode();
    inputs.navigation = dataModule_->GetNavigationSource();
  }
  inputs.ringsLayerVisible = IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRingsLayerName));
  inputs.lastStatus = lastStatus_;
  return inputs;
}

ModuleDisplaySorvik::EchoPlacement ModuleDisplaySorvik::PlaceEcho(NavigationSource& navigation,
                                                                  OGRFeature* settings) {
  EchoPlacement placement;
  placement.centre = navigation.GetPosition();

  // The heading of the last sweep taken in; before any, or when the radar sends none, the ship's.
  bool headingKnown = true;
  if (seenCursor_.revolutions >= 0 && seenCursor_.heading != kNoHeadingWord) {
    placement.heading = seenCursor_.heading * EchoGeometry::kRadiansPerAngleUnit;
  } else {
    double heading = NoValueDouble;
    headingKnown = navigation.GetHeading(&heading) && heading != NoValueDouble;
    placement.heading = headingKnown ? heading : 0.0;
  }
  if (!headingKnown) return placement;

  // The shift direction is relative to the heading; the distance is an arc in radians.
  double direction = 0.0;
  double distance = 0.0;
  if (!GetFieldDouble(settings, &direction, kFieldShiftDirection) ||
      !GetFieldDouble(settings, &distance, kFieldShiftDistance)) {
    return placement;
  }
  double latitude = 0.0;
  double longitude = 0.0;
  // A shift that leads nowhere (too far, or not a number) leaves the centre on the own ship.
  if (RhumbLineDestination(placement.centre.latitude, placement.centre.longitude,
                           NormalizeAngle(direction + placement.heading), distance, latitude, longitude)) {
    placement.centre = PosType(latitude, longitude);
  }
  return placement;
}

void ModuleDisplaySorvik::ClearOnRangeChange(OGRFeature* settings) {
  int range = kNoRange;
  if (!GetFieldInteger(settings, &range, kFieldRange)) range = kNoRange;
  if (range == static_cast<int>(lastRange_)) return;
  // The first range seen has no older picture to clear.
  if (lastRange_ != kRangeNotSeen) ClearEchoImage(Store(), textures_);
  lastRange_ = static_cast<std::uint16_t>(range);
}

void ModuleDisplaySorvik::DrawEcho(ChartView& view, RenderContext& context, IDirect3DDevice9* device,
                                   const EchoPlacement& placement, const EchoSettings& settings,
                                   int dayNightMode) {
  const int generation = context.GetDeviceGeneration();
  if (generation != deviceGeneration_) {
    textures_.ReleaseAll();
    deviceGeneration_ = generation;
  }
  if (!textures_.HasTextures()) {
    CreateTextures(device, settings);
    return;
  }
  UnitConverter* converter = Converter();
  if (converter == nullptr) return;

  BeginEchoScene(device);
  const auto currentSector =
      static_cast<std::int16_t>(seenCursor_.angle * EchoGeometry::kSectors / EchoGeometry::kAngleUnits);
  // The highlight reuses the outlines of the echo pass: without that pass there are none to use.
  if (IsRadarLayerVisible()) {
    DrawEchoPass(view, device, placement, settings, currentSector, dayNightMode, *converter);
    if (settings.realTime) DrawHighlightPass(view, device, settings, currentSector);
  }
  EndEchoScene(device);
}

void ModuleDisplaySorvik::CreateTextures(IDirect3DDevice9* device, const EchoSettings& settings) {
  if (Store().GetDimensions().rows < 1 || !textures_.Create(device)) return;
  // New textures hold nothing yet: fill them from the store now, so that the picture is whole at the
  // next repaint rather than after the antenna's next turn, and ask for that repaint.
  RewriteRows({0, textures_.Geometry().rows}, settings);
}

void ModuleDisplaySorvik::DrawEchoPass(ChartView& view, IDirect3DDevice9* device, const EchoPlacement& placement,
                                       const EchoSettings& settings, int currentSector, int dayNightMode,
                                       UnitConverter& converter) {
  const double sweepDistance = Store().GetSweepDistance();
  double bearing = 0.0;
  for (int i = 0, t = currentSector; i < EchoGeometry::kSectors; ++i, --t, bearing += EchoGeometry::kSectorSpan) {
    RadarSector& sector = sectors_[static_cast<std::size_t>(i)];
    sector.UpdateOutline(placement.centre, i, NormalizeAngle(bearing + placement.heading), sweepDistance,
                         converter);
    const int opacity = EchoOpacity(SectorAge(t), settings.realTime, dayNightMode);
    sector.Draw(device, view, textures_, kEchoPassColour, static_cast<std::uint8_t>(opacity));
  }
}

void ModuleDisplaySorvik::DrawHighlightPass(ChartView& view, IDirect3DDevice9* device,
                                            const EchoSettings& settings, int currentSector) {
  SelectVertexColour(device);
  const int colourIndex = settings.echoColourIndex == kMultiColourIndex ? 0 : settings.echoColourIndex;
  const auto colour = static_cast<std::uint32_t>(EchoColourTable(colourIndex));
  for (int i = 0, t = currentSector; i < EchoGeometry::kSectors; ++i, --t) {
    const int opacity = HighlightOpacity(SectorAge(t));
    if (opacity == 0) continue;
    sectors_[static_cast<std::size_t>(i)].Draw(device, view, textures_, colour, static_cast<std::uint8_t>(opacity));
  }
}

bool ModuleDisplaySorvik::IsRadarLayerVisible() {
  return IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRadarLayerName));
}

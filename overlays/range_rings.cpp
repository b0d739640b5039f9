#include "overlays/range_rings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

#include "afxwin.h"
#include "common/units.h"
#include "host/chart_view.h"
#include "host/converter_api.h"
#include "host/radar_fields.h"
#include "host/radar_service.h"
#include "overlays/label_builders.h"
#include "overlays/overlay_inputs.h"
#include "overlays/radar_labels.h"
#include "overlays/text_drawing.h"
#include "overlays/transmitter_status.h"
#include "settings/field_access.h"

using namespace Gdiplus;

namespace {

constexpr std::int32_t kPrintingBit = 1 << 0;
constexpr std::int32_t kPrintLabelsBits = 1 << 1 | 1 << 3;

// Rings that all lie within this many pixels of the centre would only clutter it: none is drawn.
constexpr int kMinimumRingsReach = 40;
// The distance text sits this far above the top of its ring.
constexpr int kRingTextGap = 4;
// Screen points are held within this distance, so that the ring boxes stay within integer range.
constexpr float kFarOffView = 1 << 28;
constexpr COLORREF kRingColour = RGB(50, 50, 50);
constexpr ARGB kRingTextColour = 0xFF323232u;
constexpr std::int32_t kRingTextSize = 10;
constexpr std::int32_t kRegular = 0;

struct FontDeleter {
  void operator()(Font* font) const { delete font; }
};

struct RingLayout {
  float interval = 0;  // in the radar's range unit
  int count = 0;
  int rangeUnit = 0;
};

struct ScreenPixel {
  int x = 0;
  int y = 0;
};

ScreenPixel Project(ChartView& view, double latitude, double longitude) {
  float x = 0;
  float y = 0;
  view.GeoToScreen(x, y, PosType(latitude, longitude), 0);
  const auto pixel = [](float coordinate) {
    return static_cast<int>(std::lround(std::clamp(coordinate, -kFarOffView, kFarOffView)));
  };
  return {pixel(x), pixel(y)};
}

// The converter unit of a range unit code; none for a code the radar does not use.
std::optional<std::int32_t> ConverterUnitOf(int rangeUnit) {
  switch (rangeUnit) {
    case kRangeUnitNauticalMiles:
      return converter_units::kRangeNauticalMiles;
    case kRangeUnitKilometres:
      return converter_units::kKilometres;
    case kRangeUnitStatuteMiles:
      return converter_units::kStatuteMiles;
    default:
      return std::nullopt;
  }
}

// The ring interval as an arc of the earth (radians); none when it cannot be converted.
std::optional<float> RingIntervalArc(const RingLayout& layout) {
  const std::optional<std::int32_t> unit = ConverterUnitOf(layout.rangeUnit);
  ConverterAPI* service = GetConverterService();
  UnitConverter* converter = service != nullptr ? service->GetConverter() : nullptr;
  if (!unit || converter == nullptr) return std::nullopt;
  const double interval = layout.interval;
  const double nauticalMiles = converter->Convert(&interval, *unit, converter_units::kRangeNauticalMiles);
  if (nauticalMiles == kConverterNoValue) return std::nullopt;
  return static_cast<float>(nauticalMiles * kRadiansPerNauticalMile);
}

// Circles on screen through the points whole intervals due south of the centre, each with its distance
// centred above it.
void DrawRings(CDC& dc, Graphics& surface, ChartView& view, float latitude, float longitude,
               const RingLayout& layout) {
  const std::optional<float> arc = RingIntervalArc(layout);
  if (!arc || layout.count < 1) return;
  const ScreenPixel centre = Project(view, latitude, longitude);
  const ScreenPixel outer = Project(view, latitude - static_cast<double>(layout.count) * *arc, longitude);
  if (std::abs(outer.y - centre.y) <= kMinimumRingsReach) return;

  CPen pen(PS_SOLID, 1, kRingColour);
  CPen* previousPen = dc.SelectObject(&pen);
  CGdiObject* previousBrush = dc.SelectStockObject(HOLLOW_BRUSH);
  const std::unique_ptr<Font, FontDeleter> font(CreateLabelFont(L"Arial", kRingTextSize, kRegular));
  for (int i = 1; i <= layout.count; ++i) {
    const float ringArc = static_cast<float>(i) * *arc;
    const ScreenPixel point = Project(view, latitude - static_cast<double>(ringArc), longitude);
    const std::int64_t dx = point.x - centre.x;
    const std::int64_t dy = point.y - centre.y;
    const double radius = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    dc.Ellipse(static_cast<int>(centre.x - radius), static_cast<int>(centre.y - radius),
               static_cast<int>(centre.x + radius), static_cast<int>(centre.y + radius));
    const bool finer = static_cast<double>(i) * layout.interval < kFinerDistanceBelow;
    const CString text = FormatDistanceLabel(ringArc, finer);
    DrawRotatedText(&surface, font.get(), centre.x, static_cast<int>(centre.y - radius - kRingTextGap), 0.0,
                    &kRingTextColour, text, "center", "bottom");
  }
  if (previousPen != nullptr) dc.SelectObject(previousPen);
  if (previousBrush != nullptr) dc.SelectObject(previousBrush);
}

// The label values of the settings and the service; none when the settings lack one.
std::optional<RadarLabelValues> ReadLabelValues(OGRFeature* settings, VKSorVikAPI& service, bool imoMode,
                                                int range, int rangeUnit) {
  RadarLabelValues values;
  values.range = range;
  values.rangeUnit = rangeUnit;
  CString maker, model, serial, software, hardware;
  service.GetRadarIdentity(maker, values.radarName, model, serial, software, hardware);
  if (!GetFieldInteger(settings, &values.pulse, kFieldPulse)) return std::nullopt;
  if (!imoMode) return values;
  if (!GetFieldInteger(settings, &values.antenna, kFieldAntenna) ||
      !GetFieldInteger(settings, &values.model, kFieldModel)) {
    return std::nullopt;
  }
  values.radarName = ImoRadarName(values.radarName, LoadRadarWord());
  return values;
}

struct WantedOverlays {
  bool labels = false;
  bool rings = false;
};

// Labels are left out of a printout unless the printing status asks for them; the rings follow their
// layer, and are hidden while the radar is not available or its source is lost.
WantedOverlays WhatToOverlay(std::int32_t printingStatus, bool ringsLayerVisible, std::int32_t statusCode) {
  WantedOverlays wanted;
  wanted.labels = (printingStatus & kPrintingBit) == 0 || (printingStatus & kPrintLabelsBits) == kPrintLabelsBits;
  wanted.rings = ringsLayerVisible && statusCode != kStatusNotAvailable && statusCode != kStatusSourceLost;
  return wanted;
}

}  // namespace

void DrawRingsAndLabels(ChartView* view, const OverlayInputs& inputs, float centreLatitude, float centreLongitude,
                        std::int32_t dayNightMode, std::int32_t printingStatus, const RadarServiceAccessor& service) {
  OGRFeature* settings = inputs.settings;
  RingLayout layout;
  int range = 0;
  if (settings == nullptr || !GetFieldInteger(settings, &range, kFieldRange) ||
      !GetFieldInteger(settings, &layout.rangeUnit, kFieldRangeUnit)) {
    return;
  }
  const WantedOverlays wanted = WhatToOverlay(printingStatus, inputs.ringsLayerVisible, inputs.lastStatus.code);

  // Without a device context there is nothing to draw on: the radar is not asked.
  CDC* dc = view != nullptr ? view->GetViewDC(0) : nullptr;
  if (dc == nullptr || dc->GetSafeHdc() == nullptr) return;
  VKSorVikAPI* radarService = service ? service() : nullptr;
  SorVikRadar* radar = radarService != nullptr ? radarService->GetRadar() : nullptr;
  if (radar == nullptr || !radar->GetRingLayout(range, layout.rangeUnit, &layout.interval, &layout.count)) return;

  Graphics surface(dc->GetSafeHdc());
  surface.SetSmoothingMode(SmoothingModeHighSpeed);
  if (wanted.labels) {
    const std::optional<RadarLabelValues> values =
        ReadLabelValues(settings, *radarService, inputs.imoMode, range, layout.rangeUnit);
    if (values) DrawRadarLabels(&surface, *radar, dayNightMode, *values);
  }
  if (wanted.rings) DrawRings(*dc, surface, *view, centreLatitude, centreLongitude, layout);
}

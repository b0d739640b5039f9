#pragma once
// One of the viewer's chart views: pixels of its own, a Direct3D device and a device context (for GDI and
// GDI+) both drawing into them, and the chart's Mercator projection around the own ship. Displays draw on
// it through the ChartView interface and find screen positions with its converter.
#include <cstdint>
#include <memory>
#include <string>

#include "afxwin.h"
#include "host/chart_view.h"
#include "host/coordinate_converter.h"
#include "viewer/chart/chart_projection.h"
#include "viewer/chart/colour_scheme.h"
#include "viewer/module_host/view_pixels.h"
#include "viewer/module_host/view_render_context.h"

class SeaChartView final : public ChartView, public CoordinateConverter {
public:
  // A view of `width` × `height` pixels centred on `centre`; null with the reason in `error` when its
  // pixels, its device or its device context cannot be had.
  static std::unique_ptr<SeaChartView> Create(int width, int height, const PosType& centre, std::string& error);

  // Paints the whole view in the day sea colour, as it shows before its first paint.
  void ClearToSea();
  // Scales the view so that a circle of `miles` nautical miles around the centre fills most of it.
  // Ignored unless `miles` is positive.
  void FitRange(double miles) { projection_.FitRange(miles); }
  void CentreOn(const PosType& centre) { projection_.SetCentre(centre); }
  const ChartProjection& Projection() const { return projection_; }
  void Fill(std::uint32_t colour) { pixels_.Fill(colour); }

  ViewSurface Surface() { return pixels_.Surface(); }

  int GetRenderMode() override { return kDisplayRenderMode; }
  // The one device context on the view's pixels, for as long as the view lives.
  CDC* GetViewDC(int) override { return &viewDC_; }
  RenderContext* GetRenderContext() override { return &renderContext_; }
  void GeoToScreen(float& x, float& y, const PosType& position, int flags) override;
  ViewSize GetViewSize() override;
  void ScreenToGeo(PosType& position, const ScreenPoint& point) override;

private:
  SeaChartView(int width, int height, const PosType& centre);

  ViewPixels pixels_;
  // Declared after the pixels it draws into, so that it is deleted before them.
  CDC viewDC_;
  ViewRenderContext renderContext_;
  ChartProjection projection_;
};

// The sea of the chart in day colours, which a view shows before its first paint.
inline const std::uint32_t kSeaColour = 0xFF000000u | ColoursFor(LightMode::kDay).sea;

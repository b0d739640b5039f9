#include "viewer/module_host/sea_chart_view.h"

#include <new>

#include "extensions/gdi32.h"

namespace {

// The range the view is scaled to before the radar tells its own.
constexpr double kFirstRangeMiles = 4.0;

}  // namespace

SeaChartView::SeaChartView(int width, int height, const PosType& centre)
    : pixels_(width, height),
      projection_(width, height, centre, kFirstRangeMiles) {}

std::unique_ptr<SeaChartView> SeaChartView::Create(int width, int height, const PosType& centre,
                                                   std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "the view needs a positive width and height";
    return nullptr;
  }
  std::unique_ptr<SeaChartView> view;
  try {
    view.reset(new SeaChartView(width, height, centre));
  } catch (const std::bad_alloc&) {
    error = "no memory for a " + std::to_string(width) + "x" + std::to_string(height) + " view";
    return nullptr;
  }
  view->ClearToSea();
  if (!view->renderContext_.CreateDevice(view->pixels_.Surface(), error)) return nullptr;
  if (!view->viewDC_.Attach(CreateViewDC(view->pixels_.Surface()))) {
    error = "no device context for the view's pixels";
    return nullptr;
  }
  return view;
}

void SeaChartView::ClearToSea() { pixels_.Fill(kSeaColour); }

void SeaChartView::GeoToScreen(float& x, float& y, const PosType& position, int) {
  const ScreenPosition point = projection_.ToScreen(position);
  x = static_cast<float>(point.x);
  y = static_cast<float>(point.y);
}

ViewSize SeaChartView::GetViewSize() { return {pixels_.Width(), pixels_.Height()}; }

void SeaChartView::ScreenToGeo(PosType& position, const ScreenPoint& point) {
  position = projection_.ToGeo({static_cast<double>(point.x), static_cast<double>(point.y)});
}

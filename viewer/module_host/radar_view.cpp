#include "viewer/module_host/radar_view.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/module_display_sorvik.h"
#include "module/module_data.h"
#include "viewer/chart/chart_painter.h"
#include "viewer/chart/colour_scheme.h"

namespace {

// The ship may drift this share of the view's shorter side from its middle before the chart follows.
constexpr double kDriftShare = 0.1;

void CopyPixels(const ViewSurface& surface, std::vector<std::uint32_t>& to) {
  to.resize(std::size_t{surface.width} * surface.height);
  for (UINT y = 0; y < surface.height; ++y)
    std::memcpy(&to[std::size_t{y} * surface.width],
                reinterpret_cast<const char*>(surface.pixels) + std::size_t{y} * surface.pitch,
                std::size_t{surface.width} * 4);
}

}  // namespace

std::unique_ptr<RadarView> RadarView::Create(int width, int height, const PosType& centre, ModuleData& radar,
                                             const ChartLayers& chart, std::string& error) {
  std::unique_ptr<SeaChartView> view = SeaChartView::Create(width, height, centre, error);
  if (!view) return nullptr;
  return std::unique_ptr<RadarView>(new RadarView(std::move(view), radar.CreateDisplay(), chart));
}

RadarView::RadarView(std::unique_ptr<SeaChartView> view, ModuleDisplay* display, const ChartLayers& chart)
    : view_(std::move(view)),
      display_(display),
      // The radar module's displays are radar displays; their drawing side is a second interface of the
      // same object, reached through the class the module publishes.
      drawable_(static_cast<ModuleDisplaySorvik*>(display)),
      chart_(chart) {
  properties_.SetValue("DAY_NIGHT_MODE", 0L);
  properties_.SetValue("PRINTING_STATUS", 0L);
}

// The display goes before the view whose device it drew with.
RadarView::~RadarView() { display_.reset(); }

void RadarView::SetMode(LightMode mode) {
  mode_ = mode;
  properties_.SetValue("DAY_NIGHT_MODE", static_cast<long>(mode));
}

void RadarView::SetPrinting(bool printing) { properties_.SetValue("PRINTING_STATUS", printing ? 1L : 0L); }

void RadarView::Follow(const PosType& ownShip, double rangeMiles, bool exactly) {
  ChartProjection projection = view_->Projection();
  projection.FitRange(rangeMiles);
  const ScreenPosition ship = projection.ToScreen(ownShip);
  const double drift = std::hypot(ship.x - projection.Width() / 2.0, ship.y - projection.Height() / 2.0);
  if (exactly || drift > kDriftShare * std::min(projection.Width(), projection.Height())) view_->CentreOn(ownShip);
  view_->FitRange(rangeMiles);
}

bool RadarView::Poll(bool hostRepaint) {
  // The display is polled in every round, whether or not the host repaints anyway.
  const bool displayAsks = display_ && display_->PollRedraw() != 0;
  if (!displayAsks && !hostRepaint) return false;
  Repaint();
  return true;
}

void RadarView::Repaint() {
  ++repaints_;
  const ViewSurface surface = view_->Surface();
  chartCache_.PutUnder(surface, view_->Projection(), chart_, mode_);
  DrawDisplay();
  PaintAnnotations(surface, view_->Projection(), ColoursFor(mode_));
}

void RadarView::DrawDisplay() {
  if (drawable_) drawable_->Draw(view_.get(), 0, &properties_, 0);
}

std::vector<std::uint8_t> RadarView::RadarAlone() {
  const ViewSurface surface = view_->Surface();
  std::vector<std::uint32_t> overBlack, overWhite;
  view_->Fill(0xFF000000u);
  DrawDisplay();
  CopyPixels(surface, overBlack);
  view_->Fill(0xFFFFFFFFu);
  DrawDisplay();
  CopyPixels(surface, overWhite);
  Repaint();

  std::vector<std::uint8_t> rgba(overBlack.size() * 4);
  for (std::size_t i = 0; i < overBlack.size(); ++i) {
    // Over black a pixel shows colour × alpha; over white that plus (1 − alpha).
    int covered = 0;
    for (int shift : {16, 8, 0}) {
      const int black = static_cast<int>(overBlack[i] >> shift & 0xFF);
      const int white = static_cast<int>(overWhite[i] >> shift & 0xFF);
      covered += 255 - std::clamp(white - black, 0, 255);
    }
    const int alpha = (covered + 1) / 3;
    std::uint8_t* out = &rgba[i * 4];
    for (int channel = 0; channel < 3; ++channel) {
      const int black = static_cast<int>(overBlack[i] >> (16 - 8 * channel) & 0xFF);
      out[channel] = alpha == 0 ? 0 : static_cast<std::uint8_t>(std::min(255, (black * 255 + alpha / 2) / alpha));
    }
    out[3] = static_cast<std::uint8_t>(alpha);
  }
  return rgba;
}

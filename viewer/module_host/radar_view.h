#pragma once
// One chart view as the host keeps it: the view, the radar display the module made for it, its light
// mode, and its repaint cycle (chart, radar, annotations).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/vk_feature.h"
#include "viewer/chart/chart_cache.h"
#include "viewer/module_host/sea_chart_view.h"
#include "viewer/view_options.h"

class ChartLayers;
class Drawable;
class ModuleData;
class ModuleDisplay;

class RadarView {
public:
  // A view of `width` × `height` around `centre` with a new display of `radar`; null with the reason in
  // `error` when the view cannot be had. A module that offers no display leaves the view showing the chart.
  static std::unique_ptr<RadarView> Create(int width, int height, const PosType& centre, ModuleData& radar,
                                           const ChartLayers& chart, std::string& error);
  ~RadarView();

  ModuleDisplay* Display() { return display_.get(); }
  SeaChartView& Chart() { return *view_; }
  LightMode Mode() const { return mode_; }
  void SetMode(LightMode mode);
  void SetPrinting(bool printing);

  // Keeps the own ship in view at `rangeMiles`: the chart follows the ship once it has drifted from the
  // view's middle (redrawing the chart at every step would cost the host its pace), or always when
  // `exactly` is set.
  void Follow(const PosType& ownShip, double rangeMiles, bool exactly);
  // Polls the display; repaints when it asks or when `hostRepaint` is set. True when it repainted.
  bool Poll(bool hostRepaint);
  void Repaint();
  int RepaintCount() const { return repaints_; }

  // The display's drawing alone, without the chart: straight (not premultiplied) RGBA bytes, line after
  // line, alpha 0 where the display drew nothing. Found by drawing it over black and over white: what
  // the display covers differs between the two by how transparent it is. Repaints the view afterwards.
  std::vector<std::uint8_t> RadarAlone();

private:
  RadarView(std::unique_ptr<SeaChartView> view, ModuleDisplay* display, const ChartLayers& chart);
  void DrawDisplay();

  std::unique_ptr<SeaChartView> view_;
  std::unique_ptr<ModuleDisplay> display_;
  Drawable* drawable_;
  const ChartLayers& chart_;
  VKFeature properties_;
  LightMode mode_ = LightMode::kDay;
  int repaints_ = 0;
  ChartCache chartCache_;
};

#pragma once
// Keeps a display drawn on the viewer's view as a host's repaint cycle does: polls the display between
// repaints, repaints the view when the display asks, and writes every N-th repaint to a PNG file.
#include <string>

#include "host/vk_feature.h"

class Drawable;
class ModuleDisplay;
class SeaChartView;

class DisplayPainter {
public:
  // `display` may be null (the module offers none): the view then shows open sea. With `pngEvery` 0 no
  // repaint is written.
  DisplayPainter(SeaChartView& view, ModuleDisplay* display, std::string pngPath, int pngEvery);

  // Whether the module's display can be drawn by this host.
  bool HasDisplay() const { return drawable_ != nullptr; }
  // Polls the display and repaints when it asks or when `hostRepaint` is set (the host repaints the view
  // on its own now and then, as a chart host following its ship does). False with the reason in `error`
  // when the PNG of this repaint could not be written.
  bool Poll(bool hostRepaint, std::string& error);
  // Clears the view to the sea and lets the display draw on it, as on the view's first paint and at
  // whatever moment the host repaints on its own.
  void Repaint();
  int RepaintCount() const { return repaints_; }

private:
  SeaChartView& view_;
  ModuleDisplay* display_;
  Drawable* drawable_;
  VKFeature displayProperties_;
  std::string pngPath_;
  int pngEvery_;
  int repaints_ = 0;
};

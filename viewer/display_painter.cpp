#include "viewer/display_painter.h"

#include <utility>

#include "display/module_display_sorvik.h"
#include "viewer/png_file.h"
#include "viewer/sea_chart_view.h"

DisplayPainter::DisplayPainter(SeaChartView& view, ModuleDisplay* display, std::string pngPath, int pngEvery)
    : view_(view),
      display_(display),
      // The radar module's displays are radar displays; their drawing side is a second interface of the
      // same object, reached through the class the module publishes.
      drawable_(static_cast<ModuleDisplaySorvik*>(display)),
      pngPath_(std::move(pngPath)),
      pngEvery_(pngEvery) {
  // The view is shown by day and on screen, not printed.
  displayProperties_.SetValue("DAY_NIGHT_MODE", 0L);
  displayProperties_.SetValue("PRINTING_STATUS", 0L);
}

bool DisplayPainter::Poll(bool hostRepaint, std::string& error) {
  if (!drawable_) return true;
  // The display is polled in every round, whether or not the host repaints anyway.
  const bool displayAsks = display_->PollRedraw() != 0;
  if (!displayAsks && !hostRepaint) return true;
  Repaint();
  if (pngEvery_ == 0 || repaints_ % pngEvery_ != 0) return true;
  return WritePng(view_.Surface(), NumberedPath(pngPath_, repaints_), error);
}

void DisplayPainter::Repaint() {
  ++repaints_;
  view_.ClearToSea();
  if (drawable_) drawable_->Draw(&view_, 0, &displayProperties_, 0);
}

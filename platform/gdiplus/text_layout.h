#pragma once
// Text laid out as GDI+ lays it out: lines broken at line breaks (and at words when the layout box has
// a width), one line spacing of the font per line, a padding of one sixth of an em before and after
// each line, aligned horizontally within the box or, in a box of no width, about its left edge.
#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

#include "native_objects.h"

namespace Gdiplus {

class TextLayout {
public:
  // Lays `utf8` out with `cairo`'s current transform.
  TextLayout(cairo_t* cairo, const GpFont& font, const std::string& utf8, const RectF& box, StringAlignment align);
  ~TextLayout();
  TextLayout(const TextLayout&) = delete;
  TextLayout& operator=(const TextLayout&) = delete;

  // The box the text takes, padding included, limited to the layout box where it has a size.
  RectF Bounds() const;
  INT LineCount() const { return static_cast<INT>(lines_.size()); }
  // Draws the lines with `cairo`'s current source, clipped to the layout box where it has a size.
  void Draw(cairo_t* cairo) const;

private:
  struct Line {
    PangoLayoutLine* line;  // owned by one of paragraphs_
    double width;
  };
  double LineLeft(double width) const;

  const GpFont& font_;
  RectF box_;
  StringAlignment align_;
  double padding_;
  std::vector<PangoLayout*> paragraphs_;
  std::vector<Line> lines_;
};

}  // namespace Gdiplus

#include "overlays/radar_labels.h"

#include "overlays/label_builders.h"
#include "overlays/text_drawing.h"

using namespace Gdiplus;

namespace {

constexpr char kRangeTemplate[] = ".125/";
constexpr REAL kLeft = 55;
constexpr REAL kTop = 5;
constexpr std::int32_t kRangeSize = 30;
constexpr std::int32_t kLabelSize = 15;
constexpr std::uint8_t kNoFrame = 0;

constexpr ARGB Grey(std::uint8_t level, std::uint8_t alpha = 0xFF) {
  return ARGB{alpha} << 24 | ARGB{level} << 16 | ARGB{level} << 8 | ARGB{level};
}

struct LabelColours {
  ARGB background = 0;  // transparent: the view shows through
  ARGB text = 0;
  ARGB relief = 0;  // the copy one pixel up and left of the text
};

// The grey levels of the labels for a view's day/night mode.
LabelColours LabelColoursFor(std::int32_t dayNightMode) {
  switch (static_cast<std::int16_t>(dayNightMode)) {
    case 1:
      return {Grey(128, 0), Grey(0), Grey(180)};
    case 2:
      return {Grey(96, 0), Grey(0), Grey(64)};
    default:
      return {Grey(220, 0), Grey(0), Grey(255)};
  }
}

}  // namespace

void DrawRadarLabels(Graphics* surface, SorVikRadar& radar, std::int32_t dayNightMode,
                     const RadarLabelValues& values) {
  const CString range = FormatRangeLabel(radar, values.range);
  const CString pulse = GetPulseLabel(radar, values.range, values.pulse, values.rangeUnit, values.model);
  const CString interval = FormatIntervalLabel(radar, values.range, values.rangeUnit);

  RectF rangeBox = MeasureLabel(surface, kRangeTemplate, PointF(kLeft, kTop), kRangeSize);
  const REAL rangeRight = rangeBox.X + rangeBox.Width;
  RectF intervalBox = MeasureLabel(surface, interval, PointF(rangeRight, rangeBox.Y), kLabelSize);
  RectF pulseBox = MeasureLabel(surface, pulse, PointF(rangeRight, intervalBox.Y + intervalBox.Height), kLabelSize);
  const RectF rangeText = MeasureLabel(surface, range, PointF(kLeft, kTop), kRangeSize);
  // The name starts under the left edge of the range text as it is drawn, right-aligned.
  RectF nameBox = MeasureLabel(surface, values.radarName,
                               PointF(rangeRight - rangeText.Width, rangeBox.Y + rangeBox.Height), kLabelSize);

  const LabelColours colours = LabelColoursFor(dayNightMode);
  const auto draw = [&](const CString& text, RectF& box, std::int32_t size, StringAlignment alignment) {
    DrawLabelBox(surface, text, &box, size, colours.background, colours.text, colours.relief, kNoFrame, alignment);
  };
  draw(range, rangeBox, kRangeSize, StringAlignmentFar);
  draw(interval, intervalBox, kLabelSize, StringAlignmentNear);
  draw(pulse, pulseBox, kLabelSize, StringAlignmentNear);
  draw(values.radarName, nameBox, kLabelSize, StringAlignmentNear);
  if (values.antenna == -1) return;
  const CString antenna = GetAntennaLabel(values.antenna);
  RectF antennaBox = MeasureLabel(surface, antenna, PointF(nameBox.X + nameBox.Width, nameBox.Y), kLabelSize);
  draw(antenna, antennaBox, kLabelSize, StringAlignmentNear);
}

#include "overlays/range_rings.h"

void DrawRingsAndLabels(ModuleDisplaySorvik&, ChartView*, float, float, std::int32_t, std::int32_t) {
  // Rings and labels are not drawn yet.
}

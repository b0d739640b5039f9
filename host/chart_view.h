#pragma once
// The host's chart view that a display draws on.
#include <cstdint>

#include "host/pos_type.h"

class CDC;
class RenderContext;

// The view's size in pixels.
struct ViewSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class ChartView {
public:
  // How the view is being rendered; displays draw only in kDisplayRenderMode.
  virtual int GetRenderMode() = 0;
  // The view's device context (for GDI and GDI+), or null. The module passes 0.
  virtual CDC* GetViewDC(int which) = 0;
  // The view's Direct3D side, or null.
  virtual RenderContext* GetRenderContext() = 0;
  // The screen point, in pixels, where `position` shows. The module passes 0 as `flags`.
  virtual void GeoToScreen(float& x, float& y, const PosType& position, int flags) = 0;
  virtual ViewSize GetViewSize() = 0;

protected:
  ~ChartView() = default;
};

inline constexpr int kDisplayRenderMode = 1;

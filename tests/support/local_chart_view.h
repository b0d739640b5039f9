#pragma once
// A chart view for tests that draw through the display: a simple local projection around a position,
// north up, a given number of pixels per nautical mile, and a render context handing out one device.
#include <cmath>

#include "common/units.h"
#include "host/chart_view.h"
#include "host/render_context.h"

// Hands out `device` (not owned), under a generation the test may change, and counts the uses ended.
class TestRenderContext final : public RenderContext {
public:
  explicit TestRenderContext(IDirect3DDevice9* device) : device_(device) {}
  IDirect3DDevice9* GetDevice() override { return device_; }
  int GetDeviceGeneration() override { return generation_; }
  void EndUse() override { ++usesEnded_; }

  IDirect3DDevice9* device_;
  int generation_ = 1;
  int usesEnded_ = 0;
};

class LocalChartView final : public ChartView {
public:
  // `origin` shows at the view's centre.
  LocalChartView(int width, int height, PosType origin, double pixelsPerMile, RenderContext* context)
      : width_(width),
        height_(height),
        origin_(origin),
        pixelsPerRadian_(pixelsPerMile / kRadiansPerNauticalMile),
        context_(context) {}

  int GetRenderMode() override { return renderMode_; }
  CDC* GetViewDC(int) override { return nullptr; }
  RenderContext* GetRenderContext() override { return context_; }
  void GeoToScreen(float& x, float& y, const PosType& position, int) override {
    const double east = (position.longitude - origin_.longitude) * std::cos(origin_.latitude);
    const double north = position.latitude - origin_.latitude;
    x = static_cast<float>(width_ / 2.0 + east * pixelsPerRadian_);
    y = static_cast<float>(height_ / 2.0 - north * pixelsPerRadian_);
  }
  ViewSize GetViewSize() override { return {width_, height_}; }

  int renderMode_ = kDisplayRenderMode;

private:
  int width_;
  int height_;
  PosType origin_;
  double pixelsPerRadian_;
  RenderContext* context_;
};

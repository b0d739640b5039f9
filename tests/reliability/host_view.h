#pragma once
// A chart view as a host gives one to a display: pixels of its own, a software Direct3D device and a
// device context drawing into them, a plain local projection around the own ship, north up.
#include <cstddef>
#include <vector>

#include "afxwin.h"
#include "d3d9.h"
#include "extensions/d3d9.h"
#include "extensions/gdi32.h"
#include "support/fake_navigation.h"
#include "support/local_chart_view.h"

inline const PosType kOwnShip(0.9, 0.1);

// The own ship's steady heading, a little east of north.
inline constexpr double kOwnShipHeading = 0.3;

class HostView final : public ChartView {
public:
  HostView(int size, double pixelsPerMile)
      : pixels_(static_cast<std::size_t>(size) * static_cast<std::size_t>(size)),
        d3d_(Direct3DCreate9(D3D_SDK_VERSION)),
        context_(nullptr),
        projection_(size, size, kOwnShip, pixelsPerMile, &context_),
        size_(size) {
    const ViewSurface surface{pixels_.data(), static_cast<UINT>(size), static_cast<UINT>(size),
                              static_cast<UINT>(size) * 4};
    if (d3d_) CreateViewDevice(d3d_, surface, &context_.device_);
    dc_.Attach(CreateViewDC(surface));
  }
  ~HostView() {
    if (context_.device_) context_.device_->Release();
    if (d3d_) d3d_->Release();
  }
  HostView(const HostView&) = delete;
  HostView& operator=(const HostView&) = delete;

  int GetRenderMode() override { return kDisplayRenderMode; }
  CDC* GetViewDC(int) override { return &dc_; }
  RenderContext* GetRenderContext() override { return &context_; }
  void GeoToScreen(float& x, float& y, const PosType& position, int flags) override {
    projection_.GeoToScreen(x, y, position, flags);
  }
  ViewSize GetViewSize() override { return {size_, size_}; }

  bool HasDevice() const { return context_.device_ != nullptr; }

private:
  std::vector<DWORD> pixels_;
  IDirect3D9* d3d_;
  TestRenderContext context_;
  LocalChartView projection_;
  CDC dc_;
  int size_;
};

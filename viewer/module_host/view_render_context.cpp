#include "viewer/module_host/view_render_context.h"

#include <cstdio>

ViewRenderContext::~ViewRenderContext() {
  ReleaseDevice();
  if (d3d_) d3d_->Release();
}

bool ViewRenderContext::CreateDevice(const ViewSurface& surface, std::string& error) {
  ReleaseDevice();
  if (!d3d_) d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d_) {
    error = "no Direct3D adapter";
    return false;
  }
  const HRESULT result = CreateViewDevice(d3d_, surface, &device_);
  if (result != D3D_OK) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
    error = std::string("the Direct3D device could not be created on a ") + std::to_string(surface.width) + "x" +
            std::to_string(surface.height) + " view (" + code + ")";
    return false;
  }
  ++generation_;
  return true;
}

void ViewRenderContext::ReleaseDevice() {
  if (device_) device_->Release();
  device_ = nullptr;
}

#pragma once
// The Direct3D side of the viewer's view: an adapter and one software device drawing into the view's
// pixels, handed to displays through the view.
#include <string>

#include "extensions/d3d9.h"
#include "host/render_context.h"

class ViewRenderContext : public RenderContext {
public:
  ViewRenderContext() = default;
  ~ViewRenderContext();
  ViewRenderContext(const ViewRenderContext&) = delete;
  ViewRenderContext& operator=(const ViewRenderContext&) = delete;

  // Creates the device on `surface`, replacing any earlier one (the generation changes then). False
  // with the reason in `error` when there is no device afterwards.
  bool CreateDevice(const ViewSurface& surface, std::string& error);

  IDirect3DDevice9* GetDevice() override { return device_; }
  int GetDeviceGeneration() override { return generation_; }
  void EndUse() override {}

private:
  void ReleaseDevice();

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  int generation_ = 0;
};

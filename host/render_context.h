#pragma once
// The Direct3D side of a chart view: the device the view draws with this repaint.

class IDirect3DDevice9;

class RenderContext {
public:
  // The view's device, or null when it has none now.
  virtual IDirect3DDevice9* GetDevice() = 0;
  // Changes whenever the host re-creates the device; whatever lives on the old device is gone then.
  virtual int GetDeviceGeneration() = 0;
  // Ends the use of the device that GetDevice gave.
  virtual void EndUse() = 0;

protected:
  ~RenderContext() = default;
};

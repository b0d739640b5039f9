// The host extensions: devices on host view surfaces, adapter faults and the live-object count.
#include <new>

#include "adapter.h"
#include "adapter_caps.h"
#include "device.h"
#include "extensions/d3d9.h"
#include "live_objects.h"

namespace {

bool IsUsable(const ViewSurface& surface) {
  return surface.pixels != nullptr && surface.width > 0 && surface.height > 0 &&
         surface.width <= d3d9::kMaxSurfaceSize && surface.height <= d3d9::kMaxSurfaceSize && surface.pitch % 4 == 0 &&
         surface.pitch / 4 >= surface.width;
}

}  // namespace

HRESULT CreateViewDevice(IDirect3D9* d3d, const ViewSurface& surface, IDirect3DDevice9** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  *device = nullptr;
  auto* adapter = dynamic_cast<d3d9::Adapter*>(d3d);
  if (adapter == nullptr || !IsUsable(surface)) return D3DERR_INVALIDCALL;
  auto* created = new (std::nothrow) d3d9::Device(adapter, surface);
  if (created == nullptr) return E_OUTOFMEMORY;
  *device = created;
  return D3D_OK;
}

bool SetAdapterFaults(IDirect3D9* d3d, const AdapterFaults& faults) {
  auto* adapter = dynamic_cast<d3d9::Adapter*>(d3d);
  if (adapter == nullptr) return false;
  adapter->SetFaults(faults);
  return true;
}

UINT LiveDirect3DObjects() { return d3d9::LiveObjectCount(); }

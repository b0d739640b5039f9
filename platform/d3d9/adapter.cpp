#include "adapter.h"

#include <new>

#include "adapter_caps.h"
#include "texel_format.h"

namespace d3d9 {

HRESULT Adapter::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || mode == nullptr) return D3DERR_INVALIDCALL;
  *mode = AdapterDisplayMode();
  return D3D_OK;
}

HRESULT Adapter::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                   D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
  if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  const bool answerable = deviceType == D3DDEVTYPE_HAL && adapterFormat == AdapterDisplayMode().Format &&
                          (usage & ~D3DUSAGE_DYNAMIC) == 0 && resourceType == D3DRTYPE_TEXTURE;
  return answerable && TakesTextureFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Adapter::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) {
  if (adapter != D3DADAPTER_DEFAULT || caps == nullptr) return D3DERR_INVALIDCALL;
  if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  FillDeviceCaps(*caps);
  return D3D_OK;
}

bool Adapter::TakesTextureFormat(D3DFORMAT format) const {
  if (format == D3DFMT_A8R8G8B8 && faults_.refuseA8R8G8B8) return false;
  if (format == D3DFMT_A4R4G4B4 && faults_.refuseA4R4G4B4) return false;
  return IsTextureFormat(format);
}

}  // namespace d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  return new (std::nothrow) d3d9::Adapter;
}

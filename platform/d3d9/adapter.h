#pragma once
// The adapter object (IDirect3D9): one software adapter with the formats and capabilities of this
// device, and the failures a test has asked it to show.
#include "com_object.h"
#include "d3d9.h"
#include "extensions/d3d9.h"

namespace d3d9 {

class Adapter final : public ComObject<IDirect3D9> {
public:
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) override;

  void SetFaults(const AdapterFaults& faults) { faults_ = faults; }
  const AdapterFaults& Faults() const { return faults_; }
  // Whether textures of `format` can be created: a texture format that the faults do not refuse.
  bool TakesTextureFormat(D3DFORMAT format) const;

private:
  AdapterFaults faults_;
};

}  // namespace d3d9

#pragma once
// The device: the states and bindings of IDirect3DDevice9 over one host view surface, drawing
// pre-transformed triangle lists, strips and fans from stream 0 with the software rasteriser. Of the
// render states, the cull mode, alpha blending with its factors, the texture factor and the blend factor
// take part; the others are kept and answered but change nothing: there is no depth buffer, no alpha
// test or fog, and shading is always Gouraud.
#include <array>

#include "adapter.h"
#include "com_object.h"
#include "d3d9.h"
#include "device_states.h"
#include "extensions/d3d9.h"

namespace d3d9 {

class Texture;
class VertexBuffer;

class Device final : public ComObject<IDirect3DDevice9> {
public:
  // Takes a reference to `adapter`; `surface` has been checked by the caller.
  Device(Adapter* adapter, const ViewSurface& surface);
  ~Device() override;

  HRESULT GetDirect3D(IDirect3D9** d3d) override;
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                             HANDLE* sharedHandle) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;

private:
  struct StreamSource {
    VertexBuffer* buffer = nullptr;  // holds a reference
    UINT offset = 0;
    UINT stride = 0;
  };

  Adapter* adapter_;  // holds a reference
  ViewSurface surface_;
  DeviceStates states_;
  std::array<Texture*, DeviceStates::kStages> textures_{};  // each holds a reference
  StreamSource stream_;
  DWORD fvf_ = 0;
  bool inScene_ = false;
};

}  // namespace d3d9

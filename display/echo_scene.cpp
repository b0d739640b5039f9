#include "display/echo_scene.h"

#include "d3d9.h"

namespace {

void SetStageOperations(IDirect3DDevice9* device, DWORD operation) {
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, operation);
  device->SetTextureStageState(0, D3DTSS_COLOROP, operation);
}

}  // namespace

void BeginEchoScene(IDirect3DDevice9* device) {
  if (device == nullptr) return;
  device->BeginScene();
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void SelectVertexColour(IDirect3DDevice9* device) {
  if (device != nullptr) SetStageOperations(device, D3DTOP_SELECTARG2);
}

void EndEchoScene(IDirect3DDevice9* device) {
  if (device == nullptr) return;
  device->EndScene();
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  SetStageOperations(device, D3DTOP_MODULATE);
  // The device holds what is bound to it: unbound, the display's textures and the last sector's
  // vertex buffer go when their owners release them.
  device->SetTexture(0, nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
}

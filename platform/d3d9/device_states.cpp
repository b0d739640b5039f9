#include "device_states.h"

namespace d3d9 {

DeviceStates::DeviceStates() {
  // No depth buffer here, so depth testing starts off.
  render_[D3DRS_ZENABLE] = D3DZB_FALSE;
  render_[D3DRS_FILLMODE] = D3DFILL_SOLID;
  render_[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  render_[D3DRS_ZWRITEENABLE] = TRUE;
  render_[D3DRS_LASTPIXEL] = TRUE;
  render_[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  render_[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  render_[D3DRS_CULLMODE] = D3DCULL_CCW;
  render_[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  render_[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  render_[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  render_[D3DRS_CLIPPING] = TRUE;
  render_[D3DRS_LIGHTING] = TRUE;
  render_[D3DRS_COLORWRITEENABLE] = 0x0000000Fu;
  render_[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  render_[D3DRS_BLENDFACTOR] = 0xFFFFFFFFu;
  render_[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  render_[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
  render_[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;

  for (DWORD stage = 0; stage < kStages; ++stage) {
    auto& states = stages_[stage];
    // Stage 0 modulates the texture with the diffuse colour and takes the texture's alpha; the
    // others start disabled.
    states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    states[D3DTSS_TEXCOORDINDEX] = stage;
    states[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    states[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    states[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }
  for (auto& states : samplers_) {
    states[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    states[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    states[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    states[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    states[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    states[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    states[D3DSAMP_MAXANISOTROPY] = 1;
  }
}

bool DeviceStates::SetRender(DWORD state, DWORD value) {
  if (state >= kRenderStates) return false;
  render_[state] = value;
  return true;
}

bool DeviceStates::GetRender(DWORD state, DWORD& value) const {
  if (state >= kRenderStates) return false;
  value = render_[state];
  return true;
}

bool DeviceStates::SetStage(DWORD stage, DWORD state, DWORD value) {
  if (stage >= kStages || state >= kStageStates) return false;
  stages_[stage][state] = value;
  return true;
}

bool DeviceStates::GetStage(DWORD stage, DWORD state, DWORD& value) const {
  if (stage >= kStages || state >= kStageStates) return false;
  value = stages_[stage][state];
  return true;
}

bool DeviceStates::SetSampler(DWORD sampler, DWORD state, DWORD value) {
  if (sampler >= kSamplers || state >= kSamplerStates) return false;
  samplers_[sampler][state] = value;
  return true;
}

bool DeviceStates::GetSampler(DWORD sampler, DWORD state, DWORD& value) const {
  if (sampler >= kSamplers || state >= kSamplerStates) return false;
  value = samplers_[sampler][state];
  return true;
}

}  // namespace d3d9

#pragma once
// The render, texture stage and sampler states of a device, starting at Direct3D's defaults.
#include <array>

#include "d3d9.h"

namespace d3d9 {

class DeviceStates {
public:
  static constexpr DWORD kRenderStates = 256;
  static constexpr DWORD kStages = 8;
  static constexpr DWORD kStageStates = 33;
  static constexpr DWORD kSamplers = 16;
  static constexpr DWORD kSamplerStates = 14;

  DeviceStates();

  // Each setter and getter answers false for a state (or stage, sampler) outside the tables.
  bool SetRender(DWORD state, DWORD value);
  bool GetRender(DWORD state, DWORD& value) const;
  bool SetStage(DWORD stage, DWORD state, DWORD value);
  bool GetStage(DWORD stage, DWORD state, DWORD& value) const;
  bool SetSampler(DWORD sampler, DWORD state, DWORD value);
  bool GetSampler(DWORD sampler, DWORD state, DWORD& value) const;

  DWORD Render(D3DRENDERSTATETYPE state) const { return render_[state]; }
  DWORD Stage0(D3DTEXTURESTAGESTATETYPE state) const { return stages_[0][state]; }
  DWORD Sampler0(D3DSAMPLERSTATETYPE state) const { return samplers_[0][state]; }

private:
  std::array<DWORD, kRenderStates> render_{};
  std::array<std::array<DWORD, kStageStates>, kStages> stages_{};
  std::array<std::array<DWORD, kSamplerStates>, kSamplers> samplers_{};
};

}  // namespace d3d9

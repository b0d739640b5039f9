#pragma once
// What a draw call's pixels depend on, resolved once per draw from the device's states: how texture
// stage 0 combines the texel with the diffuse colour, how the sampler reads the texture, and how the
// frame blender mixes the result into the view. Only stage 0 and sampler 0 take part.
#include <cstddef>
#include <cstdint>

#include "d3d9.h"
#include "texel_view.h"

namespace d3d9 {

class DeviceStates;
class Texture;

// Texture stage 0 in general form. Supports D3DTOP_DISABLE, SELECTARG1, SELECTARG2, MODULATE,
// MODULATE2X, MODULATE4X, ADD, ADDSIGNED and SUBTRACT on the arguments D3DTA_DIFFUSE, CURRENT (the
// diffuse colour at stage 0), TEXTURE and TFACTOR with the COMPLEMENT and ALPHAREPLICATE modifiers;
// other arguments read as 0 and other operations pass the diffuse colour on.
struct StageProgram {
  DWORD colourOp = D3DTOP_MODULATE;
  DWORD colourArg1 = D3DTA_TEXTURE;
  DWORD colourArg2 = D3DTA_CURRENT;
  DWORD alphaOp = D3DTOP_SELECTARG1;
  DWORD alphaArg1 = D3DTA_TEXTURE;
  DWORD alphaArg2 = D3DTA_CURRENT;
  D3DCOLOR textureFactor = 0xFFFFFFFFu;

  std::uint32_t Evaluate(std::uint32_t texel, std::uint32_t diffuse) const;
};

// The frame blender in general form (additive blend operation only).
struct BlendProgram {
  DWORD source = D3DBLEND_ONE;
  DWORD destination = D3DBLEND_ZERO;
  D3DCOLOR blendFactor = 0xFFFFFFFFu;

  std::uint32_t Blend(std::uint32_t source, std::uint32_t destination) const;
};

struct SamplerSettings {
  DWORD addressU = D3DTADDRESS_WRAP;
  DWORD addressV = D3DTADDRESS_WRAP;
  D3DCOLOR borderColour = 0;
  bool linearWhenMagnified = false;
  bool linearWhenMinified = false;
};

enum class CombineKind {
  kDiffuse,   // the stage passes the diffuse colour on
  kModulate,  // texel × diffuse, colour and alpha
  kStage,     // anything else, through StageProgram
};

enum class BlendKind {
  kReplace,      // no blending, or ONE / ZERO
  kSourceAlpha,  // SRCALPHA / INVSRCALPHA
  kFactors,      // anything else, through BlendProgram
};

struct PixelPipeline {
  CombineKind combine = CombineKind::kDiffuse;
  BlendKind blend = BlendKind::kReplace;
  StageProgram stage;
  BlendProgram blender;
  bool readsTexels = false;  // the combination reads the texture
  bool hasTexture = false;
  TexelView texture;
  SamplerSettings sampler;
};

// `texture` is the texture bound to stage 0, or null. A stage whose first colour argument is the
// texture while no texture is bound is disabled, as in Direct3D's reference rasteriser; other reads of
// a missing texture give opaque black.
PixelPipeline ResolvePixelPipeline(const DeviceStates& states, const Texture* texture);

// The view surface as the pipeline writes it.
struct RenderTarget {
  std::uint32_t* pixels = nullptr;
  std::ptrdiff_t pitch = 0;  // in pixels
  int width = 0;
  int height = 0;
};

}  // namespace d3d9

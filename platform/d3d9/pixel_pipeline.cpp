#include "pixel_pipeline.h"

#include <algorithm>

#include "colour_math.h"
#include "device_states.h"
#include "texture.h"

namespace d3d9 {

namespace {

constexpr DWORD kModifiers = D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE;

DWORD Selector(DWORD argument) { return argument & D3DTA_SELECTMASK; }

bool IsPlainDiffuse(DWORD argument) { return argument == D3DTA_DIFFUSE || argument == D3DTA_CURRENT; }

// The operation gives the diffuse colour unchanged.
bool SelectsDiffuse(DWORD op, DWORD arg1, DWORD arg2) {
  return (op == D3DTOP_SELECTARG1 && IsPlainDiffuse(arg1)) || (op == D3DTOP_SELECTARG2 && IsPlainDiffuse(arg2));
}

// The operation is texel × diffuse.
bool ModulatesTextureByDiffuse(DWORD op, DWORD arg1, DWORD arg2) {
  return op == D3DTOP_MODULATE &&
         ((arg1 == D3DTA_TEXTURE && IsPlainDiffuse(arg2)) || (arg2 == D3DTA_TEXTURE && IsPlainDiffuse(arg1)));
}

std::uint32_t Argument(DWORD argument, std::uint32_t texel, std::uint32_t diffuse, D3DCOLOR factor) {
  std::uint32_t value = 0;
  switch (Selector(argument)) {
    case D3DTA_DIFFUSE:
    case D3DTA_CURRENT: value = diffuse; break;
    case D3DTA_TEXTURE: value = texel; break;
    case D3DTA_TFACTOR: value = factor; break;
    default: break;
  }
  if (argument & D3DTA_ALPHAREPLICATE) value = (value >> 24) * 0x01010101u;
  if (argument & D3DTA_COMPLEMENT) value = ~value;
  return value;
}

std::uint32_t ApplyToChannel(DWORD op, std::uint32_t a, std::uint32_t b, std::uint32_t current) {
  switch (op) {
    case D3DTOP_SELECTARG1: return a;
    case D3DTOP_SELECTARG2: return b;
    case D3DTOP_MODULATE: return MultiplyChannels(a, b);
    case D3DTOP_MODULATE2X: return std::min(255u, 2 * MultiplyChannels(a, b));
    case D3DTOP_MODULATE4X: return std::min(255u, 4 * MultiplyChannels(a, b));
    case D3DTOP_ADD: return std::min(255u, a + b);
    case D3DTOP_ADDSIGNED: return std::clamp<int>(static_cast<int>(a + b) - 128, 0, 255);
    case D3DTOP_SUBTRACT: return a > b ? a - b : 0;
    default: return current;
  }
}

std::uint32_t Apply(DWORD op, std::uint32_t a, std::uint32_t b, std::uint32_t current) {
  std::uint32_t result = 0;
  for (int channel = 0; channel < 4; ++channel) {
    result |= ApplyToChannel(op, Channel(a, channel), Channel(b, channel), Channel(current, channel)) << (8 * channel);
  }
  return result;
}

std::uint32_t BlendFactor(DWORD blend, int channel, std::uint32_t source, std::uint32_t destination, D3DCOLOR factor) {
  const std::uint32_t sourceAlpha = source >> 24;
  const std::uint32_t destinationAlpha = destination >> 24;
  switch (blend) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_SRCCOLOR: return Channel(source, channel);
    case D3DBLEND_INVSRCCOLOR: return 255 - Channel(source, channel);
    case D3DBLEND_SRCALPHA: return sourceAlpha;
    case D3DBLEND_INVSRCALPHA: return 255 - sourceAlpha;
    case D3DBLEND_DESTALPHA: return destinationAlpha;
    case D3DBLEND_INVDESTALPHA: return 255 - destinationAlpha;
    case D3DBLEND_DESTCOLOR: return Channel(destination, channel);
    case D3DBLEND_INVDESTCOLOR: return 255 - Channel(destination, channel);
    case D3DBLEND_SRCALPHASAT: return channel == 3 ? 255 : std::min(sourceAlpha, 255 - destinationAlpha);
    case D3DBLEND_BLENDFACTOR: return Channel(factor, channel);
    case D3DBLEND_INVBLENDFACTOR: return 255 - Channel(factor, channel);
    default: return 255;  // D3DBLEND_ONE
  }
}

// A factor that stands for one side alone.
bool IsKnownBlend(DWORD blend) {
  return blend >= D3DBLEND_ZERO && blend <= D3DBLEND_INVBLENDFACTOR && blend != D3DBLEND_BOTHSRCALPHA &&
         blend != D3DBLEND_BOTHINVSRCALPHA;
}

CombineKind ChooseCombine(const StageProgram& stage, bool hasTexture) {
  const bool disabled =
      stage.colourOp == D3DTOP_DISABLE || (!hasTexture && Selector(stage.colourArg1) == D3DTA_TEXTURE);
  if (disabled) return CombineKind::kDiffuse;
  const bool alphaIsDiffuse =
      stage.alphaOp == D3DTOP_DISABLE || SelectsDiffuse(stage.alphaOp, stage.alphaArg1, stage.alphaArg2);
  if (SelectsDiffuse(stage.colourOp, stage.colourArg1, stage.colourArg2) && alphaIsDiffuse) {
    return CombineKind::kDiffuse;
  }
  if (hasTexture && ModulatesTextureByDiffuse(stage.colourOp, stage.colourArg1, stage.colourArg2) &&
      ModulatesTextureByDiffuse(stage.alphaOp, stage.alphaArg1, stage.alphaArg2)) {
    return CombineKind::kModulate;
  }
  return CombineKind::kStage;
}

bool IsLinear(DWORD filter) { return filter != D3DTEXF_NONE && filter != D3DTEXF_POINT; }

}  // namespace

std::uint32_t StageProgram::Evaluate(std::uint32_t texel, std::uint32_t diffuse) const {
  if (colourOp == D3DTOP_DISABLE) return diffuse;
  const std::uint32_t colour = Apply(colourOp, Argument(colourArg1, texel, diffuse, textureFactor),
                                     Argument(colourArg2, texel, diffuse, textureFactor), diffuse);
  const std::uint32_t alpha = alphaOp == D3DTOP_DISABLE
                                  ? diffuse
                                  : Apply(alphaOp, Argument(alphaArg1, texel, diffuse, textureFactor),
                                          Argument(alphaArg2, texel, diffuse, textureFactor), diffuse);
  return (colour & 0x00FFFFFFu) | (alpha & 0xFF000000u);
}

std::uint32_t BlendProgram::Blend(std::uint32_t sourceColour, std::uint32_t destinationColour) const {
  std::uint32_t result = 0;
  for (int channel = 0; channel < 4; ++channel) {
    const std::uint32_t sum =
        Channel(sourceColour, channel) * BlendFactor(source, channel, sourceColour, destinationColour, blendFactor) +
        Channel(destinationColour, channel) *
            BlendFactor(destination, channel, sourceColour, destinationColour, blendFactor);
    result |= std::min(255u, (2 * sum + 255) / 510) << (8 * channel);
  }
  return result;
}

PixelPipeline ResolvePixelPipeline(const DeviceStates& states, const Texture* texture) {
  PixelPipeline pipeline;
  StageProgram& stage = pipeline.stage;
  stage.colourOp = states.Stage0(D3DTSS_COLOROP);
  stage.colourArg1 = states.Stage0(D3DTSS_COLORARG1);
  stage.colourArg2 = states.Stage0(D3DTSS_COLORARG2);
  stage.alphaOp = states.Stage0(D3DTSS_ALPHAOP);
  stage.alphaArg1 = states.Stage0(D3DTSS_ALPHAARG1);
  stage.alphaArg2 = states.Stage0(D3DTSS_ALPHAARG2);
  stage.textureFactor = states.Render(D3DRS_TEXTUREFACTOR);

  pipeline.hasTexture = texture != nullptr;
  if (texture) pipeline.texture = texture->SamplingView();
  pipeline.combine = ChooseCombine(stage, pipeline.hasTexture);
  pipeline.readsTexels = pipeline.combine == CombineKind::kModulate ||
                         (pipeline.combine == CombineKind::kStage &&
                          (Selector(stage.colourArg1) == D3DTA_TEXTURE || Selector(stage.colourArg2) == D3DTA_TEXTURE ||
                           Selector(stage.alphaArg1) == D3DTA_TEXTURE || Selector(stage.alphaArg2) == D3DTA_TEXTURE));

  pipeline.sampler.addressU = states.Sampler0(D3DSAMP_ADDRESSU);
  pipeline.sampler.addressV = states.Sampler0(D3DSAMP_ADDRESSV);
  pipeline.sampler.borderColour = states.Sampler0(D3DSAMP_BORDERCOLOR);
  pipeline.sampler.linearWhenMagnified = IsLinear(states.Sampler0(D3DSAMP_MAGFILTER));
  pipeline.sampler.linearWhenMinified = IsLinear(states.Sampler0(D3DSAMP_MINFILTER));

  BlendProgram& blender = pipeline.blender;
  blender.blendFactor = states.Render(D3DRS_BLENDFACTOR);
  if (states.Render(D3DRS_ALPHABLENDENABLE)) {
    const DWORD source = states.Render(D3DRS_SRCBLEND);
    const DWORD destination = states.Render(D3DRS_DESTBLEND);
    if (source == D3DBLEND_BOTHSRCALPHA || source == D3DBLEND_BOTHINVSRCALPHA) {
      // One setting for both factors: the source's and its inverse for the destination.
      const bool inverse = source == D3DBLEND_BOTHINVSRCALPHA;
      blender.source = inverse ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA;
      blender.destination = inverse ? D3DBLEND_SRCALPHA : D3DBLEND_INVSRCALPHA;
    } else {
      blender.source = IsKnownBlend(source) ? source : D3DBLEND_ONE;
      blender.destination = IsKnownBlend(destination) ? destination : D3DBLEND_ZERO;
    }
  }
  if (blender.source == D3DBLEND_ONE && blender.destination == D3DBLEND_ZERO) {
    pipeline.blend = BlendKind::kReplace;
  } else if (blender.source == D3DBLEND_SRCALPHA && blender.destination == D3DBLEND_INVSRCALPHA) {
    pipeline.blend = BlendKind::kSourceAlpha;
  } else {
    pipeline.blend = BlendKind::kFactors;
  }
  return pipeline;
}

}  // namespace d3d9

#pragma once
// The steps a pixel goes through: its diffuse colour, its texel, their combination in texture stage 0
// and the blend into the view. Each step comes in a general form and in fast forms for the common
// states; a span renderer is instantiated from one form of each, so the common cases decide nothing
// per pixel. Every step is built once per triangle, started once per span and stepped once per pixel.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "colour_math.h"
#include "pixel_pipeline.h"
#include "triangle_attributes.h"

namespace d3d9 {

// Texel coordinates are held in texels with 32 fractional bits.
constexpr int kTexelFractionBits = 32;
constexpr std::int64_t kHalfTexel = std::int64_t{1} << (kTexelFractionBits - 1);
// A coordinate is rounded to 1/256 texel before texels are picked, as hardware samplers do, so that a
// coordinate meant to lie exactly on a texel edge picks the texel after the edge despite rounding in
// the interpolation.
constexpr std::int64_t kTexelRounding = std::int64_t{1} << (kTexelFractionBits - 9);
// Limits that keep a coordinate walked across the whole guard band far from overflowing.
constexpr double kMaxTexelCoordinate = 268435456.0;  // 2^28 texels at a triangle's corner
constexpr double kMaxTexelStep = 4096.0;             // 2^12 texels per pixel

inline std::int64_t ToTexelCoordinate(double texels, double limit) {
  if (std::isnan(texels)) return 0;
  return static_cast<std::int64_t>(std::clamp(texels, -limit, limit) * 4294967296.0);
}

// --- Diffuse colour ----------------------------------------------------------------------------------

struct FlatDiffuse {
  std::uint32_t colour;

  explicit FlatDiffuse(const TriangleAttributes& attributes) : colour(attributes.flatColour) {}
  void StartSpan(int, int, int) {}
  std::uint32_t Next() const { return colour; }
};

struct GouraudDiffuse {
  static constexpr std::int64_t kMax = (std::int64_t{255} << 16) | 0xFFFF;  // 16.16 fixed point

  const AttributePlane* planes;
  std::int32_t value[4] = {};
  std::int32_t step[4] = {};

  explicit GouraudDiffuse(const TriangleAttributes& attributes) : planes(attributes.colour) {}

  // Starts at the span's first pixel and steps to reach its last; both ends are clamped to 0..255 so
  // that rounding at a triangle's rim never wraps a channel around.
  void StartSpan(int y, int left, int right) {
    for (int channel = 0; channel < 4; ++channel) {
      const std::int64_t first = ToFixed(planes[channel].At(left, y));
      const std::int64_t last = ToFixed(planes[channel].At(right, y));
      value[channel] = static_cast<std::int32_t>(first);
      step[channel] = right > left ? static_cast<std::int32_t>((last - first) / (right - left)) : 0;
    }
  }
  std::uint32_t Next() {
    std::uint32_t colour = 0;
    for (int channel = 0; channel < 4; ++channel) {
      colour |= static_cast<std::uint32_t>(value[channel] >> 16) << (8 * channel);
      value[channel] += step[channel];
    }
    return colour;
  }

private:
  static std::int64_t ToFixed(double channel) {
    if (std::isnan(channel)) return 0;
    return static_cast<std::int64_t>(std::clamp(channel * 65536.0, 0.0, static_cast<double>(kMax)));
  }
};

// --- Texels ------------------------------------------------------------------------------------------

// What a stage reads from a missing texture: opaque black.
struct NoTexels {
  NoTexels(const TriangleAttributes&, const PixelPipeline&) {}
  void StartSpan(int, int, int) {}
  std::uint32_t Next() const { return 0xFF000000u; }
};

// Shared by the samplers: the texel coordinates of the current pixel, walked in fixed point from the
// triangle's origin pixel.
struct TexelCursor {
  int originX;
  int originY;
  std::int64_t originU;
  std::int64_t originV;
  std::int64_t du;  // per pixel to the right
  std::int64_t dv;
  std::int64_t duDown;  // per pixel down
  std::int64_t dvDown;
  std::int64_t u = 0;
  std::int64_t v = 0;

  explicit TexelCursor(const TriangleAttributes& attributes)
      : originX(attributes.originX),
        originY(attributes.originY),
        originU(ToTexelCoordinate(attributes.u.At(originX, originY), kMaxTexelCoordinate)),
        originV(ToTexelCoordinate(attributes.v.At(originX, originY), kMaxTexelCoordinate)),
        du(ToTexelCoordinate(attributes.u.dx, kMaxTexelStep)),
        dv(ToTexelCoordinate(attributes.v.dx, kMaxTexelStep)),
        duDown(ToTexelCoordinate(attributes.u.dy, kMaxTexelStep)),
        dvDown(ToTexelCoordinate(attributes.v.dy, kMaxTexelStep)) {}
  // The coordinates at pixel (x, y).
  std::int64_t UAt(int y, int x) const { return originU + (y - originY) * duDown + (x - originX) * du; }
  std::int64_t VAt(int y, int x) const { return originV + (y - originY) * dvDown + (x - originX) * dv; }
  void StartSpan(int y, int left) {
    u = UAt(y, left);
    v = VAt(y, left);
  }
  void Advance() {
    u += du;
    v += dv;
  }
};

// Point sampling with wrap addressing on a texture whose sides are powers of two: the default states.
struct WrappedPointSampler {
  TexelCursor cursor;
  const std::uint32_t* texels;
  std::ptrdiff_t tileRowPitch;
  std::uint32_t maskU;
  std::uint32_t maskV;
  std::uint32_t alphaFill;

  WrappedPointSampler(const TriangleAttributes& attributes, const PixelPipeline& pipeline)
      : cursor(attributes),
        texels(pipeline.texture.texels),
        tileRowPitch(pipeline.texture.tileRowPitch),
        maskU(static_cast<std::uint32_t>(pipeline.texture.width - 1)),
        maskV(static_cast<std::uint32_t>(pipeline.texture.height - 1)),
        alphaFill(pipeline.texture.alphaFill) {}
  // Also asks for the texels under the same pixels one row down, which the next span most likely
  // needs: a slanted texture read finds its texels in memory rather than in cache, and the request
  // lets those reads overlap the work on this span.
  void StartSpan(int y, int left, int right) {
    cursor.StartSpan(y, left);
    std::int64_t u = cursor.u + cursor.duDown;
    std::int64_t v = cursor.v + cursor.dvDown;
    for (int x = left; x <= right; ++x, u += cursor.du, v += cursor.dv) __builtin_prefetch(Address(u, v));
  }
  std::uint32_t Next() {
    const std::uint32_t texel = *Address(cursor.u, cursor.v) | alphaFill;
    cursor.Advance();
    return texel;
  }
  const std::uint32_t* Address(std::int64_t u, std::int64_t v) const {
    const auto x = static_cast<std::uint32_t>((u + kTexelRounding) >> kTexelFractionBits) & maskU;
    const auto y = static_cast<std::uint32_t>((v + kTexelRounding) >> kTexelFractionBits) & maskV;
    return texels + TiledOffset<std::ptrdiff_t>(x, y, tileRowPitch);
  }
};

// Whether the sampler filters a triangle's texels bilinearly. Magnified or minified is decided once
// per triangle: its texture mapping is affine.
inline bool SamplesLinearly(const TriangleAttributes& attributes, const SamplerSettings& settings) {
  const double acrossX = attributes.u.dx * attributes.u.dx + attributes.v.dx * attributes.v.dx;
  const double acrossY = attributes.u.dy * attributes.u.dy + attributes.v.dy * attributes.v.dy;
  const bool minified = std::max(acrossX, acrossY) > 1.0;
  return minified ? settings.linearWhenMinified : settings.linearWhenMagnified;
}

// Any addressing mode, any texture size; bilinear or point sampling, as the triangle's SamplesLinearly.
template <bool kLinear>
struct GeneralSampler {
  TexelCursor cursor;
  TexelView texture;
  SamplerSettings settings;

  GeneralSampler(const TriangleAttributes& attributes, const PixelPipeline& pipeline)
      : cursor(attributes), texture(pipeline.texture), settings(pipeline.sampler) {}
  // Which texel `index` stands for on an axis of `size` texels; -1 for the border colour.
  static std::int64_t Address(std::int64_t index, std::int64_t size, DWORD mode) {
    switch (mode) {
      case D3DTADDRESS_CLAMP: return std::clamp<std::int64_t>(index, 0, size - 1);
      case D3DTADDRESS_BORDER: return index < 0 || index >= size ? -1 : index;
      case D3DTADDRESS_MIRROR: {
        const std::int64_t period = 2 * size;
        std::int64_t folded = index % period;
        if (folded < 0) folded += period;
        return folded < size ? folded : period - 1 - folded;
      }
      case D3DTADDRESS_MIRRORONCE: return std::min(index < 0 ? -1 - index : index, size - 1);
      default: {
        const std::int64_t wrapped = index % size;
        return wrapped < 0 ? wrapped + size : wrapped;
      }
    }
  }
  std::uint32_t Fetch(std::int64_t i, std::int64_t j) const {
    const std::int64_t x = Address(i, texture.width, settings.addressU);
    const std::int64_t y = Address(j, texture.height, settings.addressV);
    if (x < 0 || y < 0) return settings.borderColour;
    return texture.texels[texture.Offset(x, y)] | texture.alphaFill;
  }
  void StartSpan(int y, int left, int) { cursor.StartSpan(y, left); }
  std::uint32_t Next() {
    std::uint32_t texel;
    if constexpr (kLinear) {
      // The four texels around the sample point, weighted by its position between their centres.
      const std::int64_t u = cursor.u + kTexelRounding - kHalfTexel;
      const std::int64_t v = cursor.v + kTexelRounding - kHalfTexel;
      const std::int64_t i = u >> kTexelFractionBits;
      const std::int64_t j = v >> kTexelFractionBits;
      const auto wu = static_cast<std::uint32_t>((u >> (kTexelFractionBits - 8)) & 0xFF);
      const auto wv = static_cast<std::uint32_t>((v >> (kTexelFractionBits - 8)) & 0xFF);
      texel = Interpolate(Interpolate(Fetch(i, j), Fetch(i + 1, j), wu),
                          Interpolate(Fetch(i, j + 1), Fetch(i + 1, j + 1), wu), wv);
    } else {
      texel =
          Fetch((cursor.u + kTexelRounding) >> kTexelFractionBits, (cursor.v + kTexelRounding) >> kTexelFractionBits);
    }
    cursor.Advance();
    return texel;
  }
};

// --- Texture stage 0 ---------------------------------------------------------------------------------

struct DiffuseCombine {
  explicit DiffuseCombine(const PixelPipeline&) {}
  std::uint32_t operator()(std::uint32_t, std::uint32_t diffuse) const { return diffuse; }
};

struct ModulateCombine {
  explicit ModulateCombine(const PixelPipeline&) {}
  std::uint32_t operator()(std::uint32_t texel, std::uint32_t diffuse) const { return Modulate(texel, diffuse); }
};

// Texel × diffuse when the diffuse colour is white at some opacity, as for fading a picture: only the
// texel's alpha changes.
struct FadeCombine {
  explicit FadeCombine(const PixelPipeline&) {}
  std::uint32_t operator()(std::uint32_t texel, std::uint32_t diffuse) const {
    return (texel & 0x00FFFFFFu) | (MultiplyChannels(texel >> 24, diffuse >> 24) << 24);
  }
};

struct StageCombine {
  const StageProgram* program;

  explicit StageCombine(const PixelPipeline& pipeline) : program(&pipeline.stage) {}
  std::uint32_t operator()(std::uint32_t texel, std::uint32_t diffuse) const {
    return program->Evaluate(texel, diffuse);
  }
};

// --- Frame blender -----------------------------------------------------------------------------------

struct ReplaceBlend {
  explicit ReplaceBlend(const PixelPipeline&) {}
  std::uint32_t operator()(std::uint32_t source, std::uint32_t) const { return source; }
};

struct SourceAlphaBlend {
  explicit SourceAlphaBlend(const PixelPipeline&) {}
  std::uint32_t operator()(std::uint32_t source, std::uint32_t destination) const {
    return BlendOver(source, destination, source >> 24);
  }
};

struct FactorBlend {
  const BlendProgram* program;

  explicit FactorBlend(const PixelPipeline& pipeline) : program(&pipeline.blender) {}
  std::uint32_t operator()(std::uint32_t source, std::uint32_t destination) const {
    return program->Blend(source, destination);
  }
};

}  // namespace d3d9

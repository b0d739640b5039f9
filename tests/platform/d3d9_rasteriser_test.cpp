// Pixels drawn by the software Direct3D 9 device, against Direct3D 9's rasterisation, sampling and
// blending rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "d3d9_canvas.h"

namespace {

using d3d9_test::At;
using d3d9_test::Canvas;
using d3d9_test::Quad;
using d3d9_test::Vertex;

// White at half opacity over black, blended once and twice.
constexpr D3DCOLOR kHalfWhite = 0x80FFFFFFu;
constexpr DWORD kBlendedOnce = 0x40808080u;

int ChannelOf(DWORD colour, int shift) { return static_cast<int>((colour >> shift) & 0xFFu); }

class D3d9RasteriserTest : public testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(LiveDirect3DObjects(), liveBefore_); }

private:
  UINT liveBefore_ = LiveDirect3DObjects();
};

// Corner k of a 32-gon around (24.37, 23.61), at `fraction` of its radius.
Vertex PolygonPoint(int k, double fraction) {
  const double angle = 2 * std::numbers::pi * (k % 32) / 32;
  const double radius = 20.3 * fraction;
  return At(static_cast<float>(24.37 + radius * std::cos(angle)), static_cast<float>(23.61 + radius * std::sin(angle)),
            kHalfWhite);
}

TEST_F(D3d9RasteriserTest, EveryTriangulationOfAPolygonCoversEachPixelExactlyOnce) {
  Canvas canvas(48, 48);
  canvas.SetHalfTransparentBlending();
  const Vertex centre = At(24.37f, 23.61f, kHalfWhite);

  std::vector<Vertex> fromCentre{centre}, fromCorner;
  for (int k = 0; k <= 32; ++k) fromCentre.push_back(PolygonPoint(k, 1));
  for (int k = 0; k < 32; ++k) fromCorner.push_back(PolygonPoint(k, 1));
  const std::vector<std::function<void()>> triangulations = {
      [&] { EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLEFAN, fromCentre), D3D_OK); },
      [&] { EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLEFAN, fromCorner), D3D_OK); },
      [&] {
        // Sectors as strips of eleven vertices: the centre, then pairs at each fifth of the radius.
        for (int k = 0; k < 32; ++k) {
          std::vector<Vertex> strip{centre};
          for (int ring = 1; ring <= 5; ++ring) {
            strip.push_back(PolygonPoint(k, ring / 5.0));
            strip.push_back(PolygonPoint(k + 1, ring / 5.0));
          }
          EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLESTRIP, strip), D3D_OK);
        }
      },
  };

  std::vector<DWORD> first;
  for (const auto& draw : triangulations) {
    canvas.Clear(0);
    draw();
    // A pixel blended twice would be brighter; one left out would stay black inside the polygon.
    EXPECT_EQ(canvas.Count(kBlendedOnce) + canvas.Count(0), 48 * 48);
    EXPECT_NEAR(canvas.Count(kBlendedOnce), std::numbers::pi * 20.3 * 20.3, 40);
    if (first.empty()) first = canvas.Pixels();
    EXPECT_EQ(canvas.Pixels(), first);
  }
}

TEST_F(D3d9RasteriserTest, TopLeftRuleDecidesPixelCentresOnEdges) {
  // The rule's own example: two triangles halving a 5 × 5 square share the diagonal, which is the
  // left edge of the first.
  Canvas canvas(8, 8);
  EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLELIST, {At(0, 0), At(5, 0), At(5, 5)}), D3D_OK);
  EXPECT_EQ(canvas.Count(0xFFFFFFFFu), 15);
  canvas.Clear(0);
  EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLELIST, {At(0, 5), At(0, 0), At(5, 5)}), D3D_OK);
  EXPECT_EQ(canvas.Count(0xFFFFFFFFu), 10);
  EXPECT_EQ(canvas.Pixel(0, 4), 0xFFFFFFFFu);  // on the left edge
  EXPECT_EQ(canvas.Pixel(4, 4), 0u);           // on the shared diagonal
}

TEST_F(D3d9RasteriserTest, CullModeDecidesWhichScreenWindingIsDrawn) {
  struct Case {
    const char* name;
    DWORD cullMode;  // 0: the device's default
    bool drawsClockwise;
    bool drawsCounterClockwise;
  };
  const Case cases[] = {
      {"default", 0, true, false},
      {"D3DCULL_CCW", D3DCULL_CCW, true, false},
      {"D3DCULL_CW", D3DCULL_CW, false, true},
      {"D3DCULL_NONE", D3DCULL_NONE, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(16, 16);
    if (c.cullMode) canvas.Device()->SetRenderState(D3DRS_CULLMODE, c.cullMode);
    // With y pointing down, right then down-left turns clockwise on screen.
    canvas.Draw(D3DPT_TRIANGLELIST, {At(1, 1), At(14, 1), At(1, 14)});
    EXPECT_EQ(canvas.Pixel(3, 3) != 0, c.drawsClockwise);
    canvas.Clear(0);
    canvas.Draw(D3DPT_TRIANGLELIST, {At(1, 1), At(1, 14), At(14, 1)});
    EXPECT_EQ(canvas.Pixel(3, 3) != 0, c.drawsCounterClockwise);
  }
}

TEST_F(D3d9RasteriserTest, PointSamplingPicksTheTexelDirect3DPicks) {
  struct Case {
    const char* name;
    float from, to;    // the quad, on both axes
    float uFrom, uTo;  // its texture coordinates, on both axes
    DWORD address;
    int pixels;  // pixels covered along each axis
    std::function<int(int)> texel;
  };
  const Case cases[] = {
      {"texel centres on pixel centres", -0.5f, 3.5f, 0, 1, D3DTADDRESS_WRAP, 4, [](int x) { return x; }},
      {"pixel centres on texel edges take the texel after", 0, 4, 0, 1, D3DTADDRESS_WRAP, 4, [](int x) { return x; }},
      {"magnified twice", 0, 8, 0, 1, D3DTADDRESS_WRAP, 8, [](int x) { return x / 2; }},
      {"magnified three times", 0, 12, 0, 1, D3DTADDRESS_WRAP, 12, [](int x) { return x / 3; }},
      {"wrap repeats", -0.5f, 7.5f, 0, 2, D3DTADDRESS_WRAP, 8, [](int x) { return x % 4; }},
      {"wrap below zero", -0.5f, 7.5f, -1, 1, D3DTADDRESS_WRAP, 8, [](int x) { return x % 4; }},
      {"clamp holds the edge texels", -0.5f, 11.5f, -1, 2, D3DTADDRESS_CLAMP, 12,
       [](int x) { return std::clamp(x - 4, 0, 3); }},
      {"mirror", -0.5f, 7.5f, 0, 2, D3DTADDRESS_MIRROR, 8, [](int x) { return x < 4 ? x : 7 - x; }},
  };
  const auto texelColour = [](int i, int j) { return 0xFF000000u | (0x10u * (i + 1)) << 16 | (0x10u * (j + 1)) << 8; };
  std::vector<DWORD> texels;
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 4; ++i) texels.push_back(texelColour(i, j));
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(16, 16);
    canvas.Texture(4, 4, texels);
    canvas.Device()->SetSamplerState(0, D3DSAMP_ADDRESSU, c.address);
    canvas.Device()->SetSamplerState(0, D3DSAMP_ADDRESSV, c.address);
    canvas.Draw(D3DPT_TRIANGLELIST, Quad(c.from, c.from, c.to, c.to, c.uFrom, c.uFrom, c.uTo, c.uTo));
    for (int y = 0; y < c.pixels; ++y) {
      for (int x = 0; x < c.pixels; ++x)
        ASSERT_EQ(canvas.Pixel(x, y), texelColour(c.texel(x), c.texel(y))) << x << "," << y;
    }
    EXPECT_EQ(canvas.Pixel(c.pixels, 0), 0u);
  }
}

TEST_F(D3d9RasteriserTest, LinearFilteringWeighsTheNearestTexelCentres) {
  Canvas canvas(4, 1);
  canvas.Texture(2, 1, {0xFF000000u, 0xFFFFFFFFu});
  canvas.Device()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  canvas.Device()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  canvas.Draw(D3DPT_TRIANGLELIST, Quad(-0.5f, -0.5f, 3.5f, 0.5f));
  // Pixel centres fall at a quarter of a texel before and after the texel centres.
  const int expected[] = {0, 63, 191, 255};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(ChannelOf(canvas.Pixel(x, 0), 16), expected[x]) << x;
}

// source × alpha + destination × (255 − alpha), over 255, rounded.
DWORD ReferenceBlend(DWORD source, DWORD destination) {
  const int alpha = ChannelOf(source, 24);
  DWORD result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int sum = ChannelOf(source, shift) * alpha + ChannelOf(destination, shift) * (255 - alpha);
    result |= static_cast<DWORD>(std::lround(sum / 255.0)) << shift;
  }
  return result;
}

TEST_F(D3d9RasteriserTest, TextureStageCombinesTexelAndDiffuse) {
  constexpr DWORD kTexel = 0x80FF4020u;
  constexpr DWORD kDiffuse = 0xC0804000u;
  // Channel by channel, texel × diffuse / 255 rounded: alpha 0x80·0xC0 → 0x60, red 0xFF·0x80 → 0x80,
  // green 0x40·0x40 → 0x10, blue 0x20·0 → 0.
  constexpr DWORD kModulated = 0x60801000u;
  struct Case {
    const char* name;
    DWORD colourOp, alphaOp;  // 0: the default states
    bool textured;
    bool blended;
    DWORD expected;
  };
  const Case cases[] = {
      {"default states: colour modulated, texel alpha", 0, 0, true, false, 0x80801000u},
      {"MODULATE", D3DTOP_MODULATE, D3DTOP_MODULATE, true, false, kModulated},
      {"SELECTARG2 gives the diffuse colour", D3DTOP_SELECTARG2, D3DTOP_SELECTARG2, true, false, kDiffuse},
      {"SELECTARG1 gives the texel", D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, true, false, kTexel},
      {"without a texture the stage passes the diffuse colour", 0, 0, false, false, kDiffuse},
      {"MODULATE blended by its alpha", D3DTOP_MODULATE, D3DTOP_MODULATE, true, true,
       ReferenceBlend(kModulated, 0xFF102030u)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(4, 4);
    canvas.Clear(0xFF102030u);
    if (c.textured) canvas.Texture(1, 1, {kTexel});
    if (c.colourOp) {
      canvas.Device()->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp);
      canvas.Device()->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      canvas.Device()->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
      canvas.Device()->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
      canvas.Device()->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
      canvas.Device()->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    }
    if (c.blended) canvas.SetHalfTransparentBlending();
    canvas.Draw(D3DPT_TRIANGLELIST, Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0, 0, 1, 1, kDiffuse));
    EXPECT_EQ(canvas.Pixel(1, 2), c.expected);
  }
}

TEST_F(D3d9RasteriserTest, DiffuseColourIsInterpolatedBetweenCorners) {
  Canvas canvas(16, 16);
  canvas.Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0xFFFF0000u), At(16, 0, 0xFF00FF00u), At(0, 16, 0xFF0000FFu)});
  EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFF0000u);
  const struct {
    int x, y;
    double red, green, blue;
  } points[] = {{8, 0, 127.5, 127.5, 0}, {0, 8, 127.5, 0, 127.5}, {4, 4, 127.5, 63.75, 63.75}};
  for (const auto& point : points) {
    const DWORD pixel = canvas.Pixel(point.x, point.y);
    EXPECT_NEAR(ChannelOf(pixel, 16), point.red, 1) << point.x << "," << point.y;
    EXPECT_NEAR(ChannelOf(pixel, 8), point.green, 1) << point.x << "," << point.y;
    EXPECT_NEAR(ChannelOf(pixel, 0), point.blue, 1) << point.x << "," << point.y;
  }
}

TEST_F(D3d9RasteriserTest, A4R4G4B4TexelsExpandEachNibbleToAFullChannel) {
  Canvas canvas(2, 2);
  canvas.Texture(2, 2, {0xF84Cu, 0x0000u, 0x1234u, 0xFFFFu}, D3DFMT_A4R4G4B4);
  canvas.Device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  canvas.Draw(D3DPT_TRIANGLELIST, Quad(-0.5f, -0.5f, 1.5f, 1.5f));
  EXPECT_EQ(canvas.Pixel(0, 0), 0xFF8844CCu);
  EXPECT_EQ(canvas.Pixel(1, 0), 0x00000000u);
  EXPECT_EQ(canvas.Pixel(0, 1), 0x11223344u);
  EXPECT_EQ(canvas.Pixel(1, 1), 0xFFFFFFFFu);
}

TEST_F(D3d9RasteriserTest, NoCoordinateWritesOutsideTheSurfaceAndFarCornersStayWatertight) {
  constexpr float kHuge = std::numeric_limits<float>::max();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  Canvas canvas(32, 32, 8);
  canvas.Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const std::vector<Vertex> wild = {
      At(-kHuge, -kHuge), At(kHuge, -kHuge), At(0, kHuge),  At(1e30f, 5),     At(-1e30f, 6), At(16, 1e30f),
      At(kNaN, 3),        At(20, 20),        At(3, 25),     At(kInfinity, 0), At(31, 31),    At(0, -kInfinity),
      At(-40000, 16.5f),  At(40000, 16.5f),  At(16, 16.6f), At(-5, -5),       At(40, -5),    At(40, 40),
  };
  EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLELIST, wild), D3D_OK);
  EXPECT_TRUE(canvas.MarginIntact());

  // Triangles reaching far beyond the guard band are cut, yet still cover every pixel once.
  canvas.SetHalfTransparentBlending();
  const std::vector<std::vector<Vertex>> meshes = {
      {At(-1e7f, -1e7f, kHalfWhite), At(3e7f, -1e7f, kHalfWhite), At(-1e7f, 3e7f, kHalfWhite)},
      Quad(-1e6f, -1e6f, 1e6f, 1e6f, 0, 0, 1, 1, kHalfWhite),
  };
  for (const auto& mesh : meshes) {
    canvas.Clear(0);
    EXPECT_EQ(canvas.Draw(D3DPT_TRIANGLELIST, mesh), D3D_OK);
    EXPECT_EQ(canvas.Count(kBlendedOnce), 32 * 32);
  }
  EXPECT_TRUE(canvas.MarginIntact());
}

// A texture filled through locks of pieces that cross each other's edges shows every texel where it
// was written, whatever its size and texel format.
TEST_F(D3d9RasteriserTest, TexelsWrittenThroughPartialLocksShowWhereTheyWereWritten) {
  struct Case {
    const char* name;
    UINT width, height;
    D3DFORMAT format;
    std::vector<RECT> pieces;  // locked and written in turn; later pieces overwrite earlier ones
  };
  const Case cases[] = {
      {"power of two, whole", 16, 8, D3DFMT_A8R8G8B8, {{0, 0, 16, 8}}},
      {"power of two, pieces across tile edges", 16, 8, D3DFMT_A8R8G8B8,
       {{0, 0, 16, 8}, {3, 1, 10, 6}, {5, 0, 6, 8}, {0, 7, 16, 8}, {13, 2, 16, 3}}},
      {"odd sides", 7, 5, D3DFMT_A8R8G8B8, {{0, 0, 7, 5}, {1, 3, 6, 5}, {6, 0, 7, 5}}},
      {"one texel wide", 1, 9, D3DFMT_X8R8G8B8, {{0, 0, 1, 9}, {0, 4, 1, 5}}},
      {"16-bit texels, odd sides", 9, 6, D3DFMT_A4R4G4B4, {{0, 0, 9, 6}, {2, 1, 7, 5}, {8, 3, 9, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(c.width, c.height);
    IDirect3DTexture9* texture = canvas.Texture(c.width, c.height, std::vector<DWORD>(c.width * c.height), c.format);
    ASSERT_NE(texture, nullptr);
    const bool wide = c.format != D3DFMT_A4R4G4B4;
    std::vector<DWORD> expected(c.width * c.height);
    for (std::size_t k = 0; k < c.pieces.size(); ++k) {
      const RECT& piece = c.pieces[k];
      D3DLOCKED_RECT locked{};
      ASSERT_EQ(texture->LockRect(0, &locked, &piece, 0), D3D_OK);
      for (LONG y = piece.top; y < piece.bottom; ++y) {
        auto* line = static_cast<unsigned char*>(locked.pBits) + std::ptrdiff_t{locked.Pitch} * (y - piece.top);
        for (LONG x = piece.left; x < piece.right; ++x) {
          // Each channel of the texel tells its column, row and piece apart from all others.
          const auto i = static_cast<DWORD>(x), j = static_cast<DWORD>(y);
          if (wide) {
            const DWORD texel = 0xFF000000u | (i + 1) << 16 | (j + 1) << 8 | static_cast<DWORD>(k + 1);
            std::memcpy(line + 4 * (x - piece.left), &texel, 4);
            expected[j * c.width + i] = texel;
          } else {
            const auto texel = static_cast<std::uint16_t>(0xF000u | i << 8 | j << 4 | k);
            std::memcpy(line + 2 * (x - piece.left), &texel, 2);
            expected[j * c.width + i] = 0xFF000000u | (i * 17) << 16 | (j * 17) << 8 | static_cast<DWORD>(k * 17);
          }
        }
      }
      ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    }
    canvas.Device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    canvas.Draw(D3DPT_TRIANGLELIST, Quad(-0.5f, -0.5f, c.width - 0.5f, c.height - 0.5f));
    EXPECT_EQ(canvas.Pixels(), expected);
  }
}

// Channel by channel, a × b / 255 rounded.
DWORD ReferenceModulate(DWORD a, DWORD b) {
  DWORD result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    result |= static_cast<DWORD>(std::lround(ChannelOf(a, shift) * ChannelOf(b, shift) / 255.0)) << shift;
  }
  return result;
}

// Long spans, whose pixels the device works on several at a time, combine and blend every pixel
// exactly: a texture modulated by a flat colour over random pixels, on spans of every length from 1 to
// more than four times the pixels worked on at once.
TEST_F(D3d9RasteriserTest, ModulatedTexelsBlendExactlyOverEveryPixelOfLongSpans) {
  constexpr int kSide = 16, kWidth = 37, kHeight = 23;
  std::mt19937 random(77);
  std::vector<DWORD> randomTexels(kSide * kSide), background(kWidth * kHeight);
  for (DWORD& texel : randomTexels) texel = random();
  for (DWORD& pixel : background) pixel = random();
  // As echo lies on empty sea: transparent texels in runs that leave some batches of pixels wholly
  // transparent and others partly.
  std::vector<DWORD> echoOnSea = randomTexels;
  for (int i = 0; i < kSide * kSide; ++i)
    if (i % kSide < 9) echoOnSea[i] &= 0x00FFFFFFu;
  const DWORD diffuses[] = {0xFFFFFFFFu, 0xE0FFFFFFu, 0xC0804020u, 0x00FFFFFFu};
  for (const std::vector<DWORD>* texture : {&randomTexels, &echoOnSea}) {
    const std::vector<DWORD>& texels = *texture;
    for (DWORD diffuse : diffuses) {
      for (bool blended : {false, true}) {
        SCOPED_TRACE(testing::Message() << std::hex << diffuse << (blended ? " blended" : " written")
                                        << (texture == &echoOnSea ? " echo on sea" : ""));
        Canvas canvas(kWidth, kHeight);
        canvas.SetPixels(background);
        canvas.Texture(kSide, kSide, texels);
        canvas.Device()->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        canvas.Device()->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        if (blended) canvas.SetHalfTransparentBlending();
        // Texel centres on pixel centres, the texture repeated across the view.
        canvas.Draw(D3DPT_TRIANGLELIST, Quad(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, 0, 0,
                                             static_cast<float>(kWidth) / kSide, static_cast<float>(kHeight) / kSide,
                                             diffuse));
        for (int y = 0; y < kHeight; ++y) {
          for (int x = 0; x < kWidth; ++x) {
            const DWORD source = ReferenceModulate(texels[(y % kSide) * kSide + x % kSide], diffuse);
            const DWORD destination = background[y * kWidth + x];
            ASSERT_EQ(canvas.Pixel(x, y), blended ? ReferenceBlend(source, destination) : source) << x << "," << y;
          }
        }
      }
    }
  }
}

}  // namespace

namespace {

// Thin sectors of a disc as the radar display draws them: texels read along slanted lines, magnified
// near the centre and minified at the rim, wrapping past the texture's edge, on spans mostly shorter
// than the pixels worked on at once.
std::vector<std::vector<Vertex>> SectorStrips(D3DCOLOR diffuse) {
  constexpr int kSectors = 24;
  std::vector<std::vector<Vertex>> strips;
  for (int sector = 0; sector < kSectors; ++sector) {
    const double start = 2 * std::numbers::pi * sector / kSectors + 0.01;
    const double end = 2 * std::numbers::pi * (sector + 1) / kSectors + 0.01;
    const float bandStart = static_cast<float>(sector) / 6, bandEnd = static_cast<float>(sector + 1) / 6;
    std::vector<Vertex> strip{At(30.3f, 23.7f, diffuse, 0.1f, (bandStart + bandEnd) / 2)};
    for (int ring = 1; ring <= 3; ++ring) {
      const double radius = 22.9 * ring / 3;
      const float u = 0.1f + 1.7f * static_cast<float>(ring) / 3;
      strip.push_back(At(static_cast<float>(30.3 + radius * std::sin(start)),
                         static_cast<float>(23.7 - radius * std::cos(start)), diffuse, u, bandStart));
      strip.push_back(At(static_cast<float>(30.3 + radius * std::sin(end)), static_cast<float>(23.7 - radius * std::cos(end)),
                         diffuse, u, bandEnd));
    }
    strips.push_back(strip);
  }
  return strips;
}

}  // namespace

// The renderer that works on several pixels at a time picks, combines and blends exactly the texels
// the pixel-by-pixel renderer does, and writes no pixel beside a span: the same sectors drawn with the
// texel modulated by the diffuse colour and, through the general stage, by an equal texture factor.
TEST_F(D3d9RasteriserTest, SlantedShortSpansMatchThePixelByPixelRenderer) {
  constexpr int kWidth = 61, kHeight = 47;
  std::mt19937 random(91);
  std::vector<DWORD> background(kWidth * kHeight);
  for (DWORD& pixel : background) pixel = random();
  struct Case {
    UINT width, height;
    D3DCOLOR diffuse;
    bool blended;
  };
  const Case cases[] = {
      {16, 16, 0xFFFFFFFFu, true}, {64, 32, 0xE0FFFFFFu, true}, {32, 64, 0xC0804020u, true},
      {16, 16, 0xE0FFFFFFu, false}, {64, 32, 0xFFFFFFFFu, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << std::hex << c.diffuse
                                    << (c.blended ? " blended" : " written"));
    std::vector<DWORD> texels(std::size_t{c.width} * c.height);
    for (DWORD& texel : texels) texel = random();
    Canvas wide(kWidth, kHeight, 3), reference(kWidth, kHeight, 3);
    for (Canvas* canvas : {&wide, &reference}) {
      canvas->SetPixels(background);
      canvas->Texture(c.width, c.height, texels);
      if (c.blended) canvas->SetHalfTransparentBlending();
    }
    wide.Device()->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    wide.Device()->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    IDirect3DDevice9* general = reference.Device();
    general->SetRenderState(D3DRS_TEXTUREFACTOR, c.diffuse);
    general->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    general->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    general->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    for (const std::vector<Vertex>& strip : SectorStrips(c.diffuse)) {
      EXPECT_EQ(wide.Draw(D3DPT_TRIANGLESTRIP, strip), D3D_OK);
      EXPECT_EQ(reference.Draw(D3DPT_TRIANGLESTRIP, strip), D3D_OK);
    }
    EXPECT_TRUE(wide.MarginIntact());
    int drawn = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(wide.Pixel(x, y), reference.Pixel(x, y)) << x << "," << y;
        drawn += wide.Pixel(x, y) != background[y * kWidth + x];
      }
    }
    EXPECT_GT(drawn, kWidth * kHeight / 3);
  }
}

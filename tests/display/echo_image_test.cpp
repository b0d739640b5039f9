// The echo image through the software device: sample levels to texels, texels to pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>
#include <tuple>
#include <vector>

#include "../platform/d3d9_canvas.h"
#include "common/units.h"
#include "display/echo_colour.h"
#include "display/echo_geometry.h"
#include "display/echo_rows.h"
#include "display/echo_scene.h"
#include "display/echo_texel_mapping.h"
#include "display/echo_texture_set.h"
#include "display/radar_sector.h"
#include "display/sweep_store.h"
#include "host/chart_view.h"
#include "host/converter_api.h"

namespace {

constexpr double kPi = std::numbers::pi;

class ArcConverter final : public UnitConverter {
public:
  double Convert(const double* value, std::int32_t source, std::int32_t target) override {
    if (source == converter_units::kMetres && target == converter_units::kRangeNauticalMiles) return *value / kMetresPerNauticalMile;
    if (source == converter_units::kNauticalMiles && target == converter_units::kArcRadians) {
      return *value * kRadiansPerNauticalMile;
    }
    return kConverterNoValue;
  }
};

// A local projection around (0, 0): `pixelsPerMile` pixels per nautical mile, north up, centred.
class LocalView final : public ChartView {
public:
  LocalView(int size, double pixelsPerMile) : size_(size), pixelsPerRadian_(pixelsPerMile / kRadiansPerNauticalMile) {}
  int GetRenderMode() override { return kDisplayRenderMode; }
  CDC* GetViewDC(int) override { return nullptr; }
  RenderContext* GetRenderContext() override { return nullptr; }
  void GeoToScreen(float& x, float& y, const PosType& position, int) override {
    x = static_cast<float>(size_ / 2.0 + position.longitude * pixelsPerRadian_);
    y = static_cast<float>(size_ / 2.0 - position.latitude * pixelsPerRadian_);
  }
  ViewSize GetViewSize() override { return {size_, size_}; }

private:
  int size_;
  double pixelsPerRadian_;
};

constexpr int kViewSize = 320;
constexpr double kRadius = 150.0;  // pixels of the full sweep distance (1 nautical mile)
constexpr EchoGeometry kGeometry = kNormalEchoGeometry;
constexpr std::uint8_t kStrong = 7;
// Rows of strong echo around due east, and samples of a ring at half the radius.
constexpr int kEastRow = kGeometry.rows / 4;
constexpr int kBearingHalfWidth = 32;
constexpr int kRingSample = kGeometry.validSamples / 2;

class EchoImageTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(false);
    std::vector<std::uint8_t> samples(512);
    for (int row = 0; row < kGeometry.rows; ++row) {
      std::fill(samples.begin(), samples.end(), std::uint8_t{0});
      if (std::abs(row - kEastRow) < kBearingHalfWidth) std::fill(samples.begin(), samples.end(), kStrong);
      for (int i = kRingSample - 3; i <= kRingSample + 3; ++i) samples[static_cast<std::size_t>(i)] = kStrong;
      const SweepRecord record{1, 0, samples.data(), 512, 512, static_cast<std::uint16_t>(row * 2), 0};
      ASSERT_TRUE(store_.AddSweep(&record, 1.0));
    }
  }
  void TearDown() override { ResetEchoGeometryForTesting(); }

  // Writes every row into `textures` and draws the 128 sectors around the view's centre.
  void DrawPicture(d3d9_test::Canvas& canvas, EchoTextureSet& textures) {
    UpdateEchoRows(-1, 1, {0, kGeometry.rows}, store_, &textures);
    ArcConverter converter;
    LocalView view(kViewSize, kRadius);
    BeginEchoScene(canvas.Device());
    for (int index = 0; index < EchoGeometry::kSectors; ++index) {
      sectors_[index].UpdateOutline(PosType(0.0, 0.0), index, index * 2 * kPi / EchoGeometry::kSectors, 1.0,
                                    converter);
      sectors_[index].Draw(canvas.Device(), view, textures, 0xFFFFFF, 255);
    }
    EndEchoScene(canvas.Device());
  }

  SweepStore store_;
  RadarSector sectors_[EchoGeometry::kSectors];
};

// The pixel at `radius` pixels from the centre along `bearing` (radians, clockwise from north).
DWORD PixelAt(const d3d9_test::Canvas& canvas, double bearing, double radius) {
  const double x = kViewSize / 2.0 + radius * std::sin(bearing);
  const double y = kViewSize / 2.0 - radius * std::cos(bearing);
  return canvas.Pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

TEST(EchoLevelTest, LevelsMapToTheirColourAndOpacity) {
  const std::int32_t green = EchoColourTable(1);
  const std::int32_t yellow = EchoColourTable(2);
  EXPECT_EQ(EchoColourTable(0), 0x0000FF);
  EXPECT_EQ(green, 0x3BF279);
  EXPECT_EQ(EchoColourTable(3), kNoEchoColour);
  EXPECT_EQ(EchoColourTable(-1), kNoEchoColour);
  // level, trail colour, echo colour, expected colour, expected opacity
  const std::vector<std::tuple<int, std::int32_t, std::int32_t, std::uint32_t, int>> cases = {
      {0, yellow, green, 0x00FF00, 0},      {1, yellow, green, 0x3BF279, 73},
      {3, yellow, green, 0x3BF279, 91},     {4, yellow, green, 0x3BF279, 128},
      {7, yellow, green, 0x3BF279, 182},    {0, yellow, kNoEchoColour, 0x1A6428, 0},
      {4, yellow, kNoEchoColour, 0x01F6FF, 120}, {7, yellow, kNoEchoColour, 0x0000FF, 150},
      {8, yellow, green, 0x00C8C8, 65},     {15, yellow, green, 0x00C8C8, 177},
      {15, kNoEchoColour, green, 0, 0},     // a hidden trail
      {16, yellow, green, 0x00C8C8, 177},   // beyond the strongest trail level: clamped, not wrapped
      {255, yellow, green, 0x00C8C8, 177},
  };
  for (const auto& [level, trail, echo, colour, opacity] : cases) {
    const EchoLevelLook look = MapEchoLevel(static_cast<std::uint8_t>(level), trail, echo);
    EXPECT_EQ(look.colour, colour) << "level " << level;
    EXPECT_EQ(look.opacity, opacity) << "level " << level;
  }
  EXPECT_EQ(EchoTexel({0x3BF279, 182}), 0xB679F23Bu);
}

TEST(EchoLevelTest, RowsOfLevelsBecomeTexelsInEitherFormat) {
  // Every level, in blocks of sixteen and a few left over, so that every lane and the tail show.
  std::vector<std::uint8_t> samples(16 * 17 + 5);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i * 7);
  for (const auto& [trail, echo] : {std::pair{EchoColourTable(2), kNoEchoColour}, std::pair{kNoEchoColour, 0x3BF279}}) {
    const EchoTexelTable table = MakeEchoTexelTable(trail, echo);
    std::vector<std::uint8_t> wide(samples.size() * 4), narrow(samples.size() * 2);
    MapToA8R8G8B8(samples, table, wide.data());
    MapToA4R4G4B4(samples, table, narrow.data());
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const std::uint32_t expected = EchoTexel(MapEchoLevel(samples[i], trail, echo));
      std::uint32_t texel = 0;
      std::uint16_t reduced = 0;
      std::memcpy(&texel, &wide[i * 4], 4);
      std::memcpy(&reduced, &narrow[i * 2], 2);
      ASSERT_EQ(texel, expected) << "sample " << i;
      ASSERT_EQ(reduced, (expected >> 16 & 0xF000) | (expected >> 12 & 0x0F00) | (expected >> 8 & 0x00F0) |
                             (expected >> 4 & 0x000F))
          << "sample " << i;
    }
  }
}

TEST(EchoRowsTest, RowsToRewriteFollowTheCursor) {
  const int rows = kGeometry.rows;
  struct Case {
    SweepCursor seen, now;
    bool realTime;
    std::optional<std::pair<int, int>> run;
  };
  const std::vector<Case> cases = {
      {{-1, 0, 0}, {0, 100, 0}, true, std::pair{0, rows}},        // nothing seen yet: everything
      {{3, 100, 0}, {3, 200, 0}, true, std::pair{50, 100}},       // the rows swept since
      {{3, 8000, 0}, {4, 100, 0}, true, std::pair{4000, 4146}},   // across the turn, wrapping
      {{3, 100, 0}, {5, 100, 0}, true, std::pair{0, rows}},       // a missed turn
      {{3, 100, 0}, {3, 100, 0}, true, std::nullopt},
      {{3, 100, 0}, {3, 200, 0}, false, std::nullopt},            // once per turn only
      {{3, 8000, 0}, {4, 10, 0}, false, std::pair{0, rows}},
  };
  for (const Case& c : cases) {
    const std::optional<EchoRowRun> run = EchoRowsToRewrite(rows, c.seen, c.now, c.realTime);
    ASSERT_EQ(run.has_value(), c.run.has_value()) << c.seen.angle << " to " << c.now.angle;
    if (run) {
      EXPECT_EQ(std::pair(run->first, run->end), *c.run);
    }
  }
}

TEST_F(EchoImageTest, EchoLightsPixelsWhereTheGeometryPutsIt) {
  d3d9_test::Canvas canvas(kViewSize, kViewSize);
  EchoTextureSet textures(kGeometry);
  ASSERT_TRUE(textures.Create(canvas.Device()));
  EXPECT_EQ(textures.Format(), D3DFMT_A8R8G8B8);
  DrawPicture(canvas, textures);

  // Level 7 in colour 0x3BF279 at opacity 182 over black.
  const DWORD echo = canvas.Pixel(kViewSize / 2 + 60, kViewSize / 2);
  EXPECT_NEAR(static_cast<int>(echo >> 16 & 0xFF), 0x79 * 182 / 255, 2);
  EXPECT_NEAR(static_cast<int>(echo >> 8 & 0xFF), 0xF2 * 182 / 255, 2);
  EXPECT_NEAR(static_cast<int>(echo & 0xFF), 0x3B * 182 / 255, 2);

  const double east = kPi / 2;
  const double ring = kRadius / 2;
  for (double radius : {10.0, 40.0, 100.0, 140.0}) {
    EXPECT_EQ(PixelAt(canvas, east, radius), echo) << "east at " << radius;
    EXPECT_EQ(PixelAt(canvas, east + 0.3, radius), 0u) << "beside the bearing at " << radius;
  }
  for (double bearing : {0.1, 1.0, 2.5, 4.0, 6.0}) {
    EXPECT_EQ(PixelAt(canvas, bearing, ring), echo) << "ring at " << bearing;
    EXPECT_EQ(PixelAt(canvas, bearing, ring - 8), 0u) << "inside the ring at " << bearing;
    EXPECT_EQ(PixelAt(canvas, bearing, ring + 8), 0u) << "outside the ring at " << bearing;
    // The store's edge ring, about one pixel wide just inside the full distance.
    bool edge = false;
    for (double radius : {148.5, 149.0, 149.5}) edge = edge || PixelAt(canvas, bearing, radius) != 0u;
    EXPECT_TRUE(edge) << "edge ring at " << bearing;
    EXPECT_EQ(PixelAt(canvas, bearing, kRadius + 4), 0u) << "beyond the picture at " << bearing;
  }
}

TEST_F(EchoImageTest, FourBitTexelsDrawTheSamePictureWithinRounding) {
  const UINT before = LiveDirect3DObjects();
  std::vector<DWORD> expected, actual;
  {
    d3d9_test::Canvas full(kViewSize, kViewSize);
    d3d9_test::Canvas reduced(kViewSize, kViewSize);
    ASSERT_TRUE(SetAdapterFaults(reduced.D3d(), {.refuseA8R8G8B8 = true}));
    EchoTextureSet fullTextures(kGeometry);
    EchoTextureSet reducedTextures(kGeometry);
    ASSERT_TRUE(fullTextures.Create(full.Device()));
    const UINT withOneSet = LiveDirect3DObjects();
    ASSERT_TRUE(reducedTextures.Create(reduced.Device()));
    EXPECT_EQ(reducedTextures.Format(), D3DFMT_A4R4G4B4);
    EXPECT_EQ(LiveDirect3DObjects(), withOneSet + EchoGeometry::kTextures);
    DrawPicture(full, fullTextures);
    DrawPicture(reduced, reducedTextures);
    expected = full.Pixels();
    actual = reduced.Pixels();
    reducedTextures.ReleaseAll();
    EXPECT_FALSE(reducedTextures.HasTextures());
  }
  // Every texture and vertex buffer is gone with its owner.
  EXPECT_EQ(LiveDirect3DObjects(), before);

  int lit = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    lit += expected[i] != 0;
    ASSERT_EQ(expected[i] != 0, actual[i] != 0) << "pixel " << i;
    for (int shift : {0, 8, 16}) {
      ASSERT_NEAR(static_cast<int>(expected[i] >> shift & 0xFF), static_cast<int>(actual[i] >> shift & 0xFF), 24)
          << "pixel " << i;
    }
  }
  EXPECT_GT(lit, 1000);
}

TEST_F(EchoImageTest, WithoutUsableTexturesNothingIsDrawn) {
  const std::vector<AdapterFaults> faults = {{.refuseA8R8G8B8 = true, .refuseA4R4G4B4 = true},
                                             {.failCreateTexture = true}};
  for (const AdapterFaults& fault : faults) {
    d3d9_test::Canvas canvas(kViewSize, kViewSize);
    const UINT live = LiveDirect3DObjects();
    ASSERT_TRUE(SetAdapterFaults(canvas.D3d(), fault));
    EchoTextureSet textures(kGeometry);
    EXPECT_FALSE(textures.Create(canvas.Device()));
    EXPECT_FALSE(textures.HasTextures());
    EXPECT_EQ(LiveDirect3DObjects(), live);
    DrawPicture(canvas, textures);
    EXPECT_EQ(canvas.Count(0), kViewSize * kViewSize);
  }
}

TEST_F(EchoImageTest, SectorWithoutAnOutlineIsNotDrawn) {
  d3d9_test::Canvas canvas(kViewSize, kViewSize);
  EchoTextureSet textures(kGeometry);
  ASSERT_TRUE(textures.Create(canvas.Device()));
  UpdateEchoRows(-1, 1, {0, kGeometry.rows}, store_, &textures);
  ArcConverter converter;
  LocalView view(kViewSize, kRadius);
  RadarSector sector;
  EXPECT_FALSE(sector.HasOutline());
  sector.UpdateOutline(PosType(0.0, 0.0), 32, 7.0, 20000.0, converter);  // farther than half the earth
  EXPECT_DOUBLE_EQ(sector.Bearing(), 7.0 - 2 * kPi);
  EXPECT_FALSE(sector.HasOutline());
  BeginEchoScene(canvas.Device());
  sector.Draw(canvas.Device(), view, textures, 0xFFFFFF, 255);
  EndEchoScene(canvas.Device());
  EXPECT_EQ(canvas.Count(0), kViewSize * kViewSize);
}

}  // namespace

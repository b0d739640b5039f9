// The radar display drawing through the software device: sweeps of a known pattern in the module's
// store, the radar settings in a scratch profile, pixels read back from the view.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "../platform/d3d9_canvas.h"
#include "common/no_value.h"
#include "common/radar_identity.h"
#include "display/echo_geometry.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "extensions/kernel32.h"
#include "host/vk_feature.h"
#include "module/module_data_sorvik.h"
#include "settings/field_access.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/local_chart_view.h"
#include "support/radar_feature_edit.h"
#include "support/scratch_profile.h"
#include "support/test_data_module.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kViewSize = 400;
constexpr double kCentre = kViewSize / 2.0;
constexpr double kPixelsPerMile = 150.0;  // the sweep distance is one nautical mile
constexpr EchoGeometry kGeometry = kNormalEchoGeometry;
constexpr int kRowLength = 512;
constexpr std::uint8_t kStrong = 7;
constexpr int kRingSample = kGeometry.validSamples / 2;
constexpr double kRingRadius = kPixelsPerMile / 2;
const PosType kOwnShip(0.5, 0.2);
constexpr DWORD kNow = 100000;

using SamplesOfRow = std::function<std::uint8_t(int row, int sample)>;

// Strong echo along one bearing (relative to the bow) and on a ring at half the sweep distance.
SamplesOfRow BeamAndRing(double beamBearing) {
  const int beamRow = static_cast<int>(std::lround(beamBearing / (2 * kPi) * kGeometry.rows));
  return [beamRow](int row, int sample) -> std::uint8_t {
    const bool onBeam = std::abs(row - beamRow) < 24;
    const bool onRing = std::abs(sample - kRingSample) <= 3;
    return onBeam || onRing ? kStrong : 0;
  };
}

// Strong echo over the inner half of the picture, none beyond.
std::uint8_t InnerHalf(int, int sample) { return sample < kRingSample ? kStrong : 0; }

// The colour channels of a pixel drawn over black.
struct Channels {
  int red, green, blue;
};
Channels ChannelsOf(DWORD pixel) {
  return {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF), static_cast<int>(pixel & 0xFF)};
}

class RadarDisplayTest : public ProfileTest {
protected:
  void SetUp() override {
    ProfileTest::SetUp();
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(false);
    TheSweepStore().Reset();
    // Sweeps keep arriving: the transmitter status lets the echo show.
    SetTickCountOverride(kNow);
    TheSweepStore().StampSweepArrival(kNow);
    data_ = TestDataModule(&navigation_, radar_.Accessor());
  }
  void TearDown() override {
    data_.reset();
    ClearTickCountOverride();
    TheSweepStore().Reset();
    ResetEchoGeometryForTesting();
    ProfileTest::TearDown();
  }

  // One turn of sweeps of `pattern`, the last one in row `lastRow`, all with `headingWord`.
  static void FillStore(const SamplesOfRow& pattern, std::int16_t headingWord = -1, int lastRow = kGeometry.rows - 1) {
    std::vector<std::uint8_t> samples(kRowLength);
    for (int k = 1; k <= kGeometry.rows; ++k) {
      const int row = (lastRow + k) % kGeometry.rows;
      for (int i = 0; i < kRowLength; ++i) samples[static_cast<std::size_t>(i)] = pattern(row, i);
      const SweepRecord record{kSweepKindSamples, 0, samples.data(), kRowLength, kRowLength,
                               static_cast<std::uint16_t>(row * kGeometry.AngleUnitsPerRow()), headingWord};
      ASSERT_TRUE(TheSweepStore().AddSweep(&record, 1.0));
    }
  }

  void SetInteger(const char* name, int value) { SetRadarFeatureField(*data_, name, value); }

  void SetReal(const char* name, double value) { SetRadarFeatureField(*data_, name, value); }


  std::unique_ptr<ModuleDisplaySorvik> NewDisplay() {
    return std::unique_ptr<ModuleDisplaySorvik>(static_cast<ModuleDisplaySorvik*>(data_->CreateDisplay()));
  }

  // The host's first polls and repaints of a new display: the first repaint creates the textures, the
  // second shows them.
  void Show(ModuleDisplaySorvik& display, LocalChartView& view, d3d9_test::Canvas& canvas, long dayNightMode = 0) {
    VKFeature properties;
    properties.SetValue("DAY_NIGHT_MODE", dayNightMode);
    display.PollRedraw();
    display.Draw(&view, 0, &properties, 0);
    display.PollRedraw();
    canvas.Clear(0);
    display.Draw(&view, 0, &properties, 0);
  }

  FakeNavigation navigation_{kOwnShip};  // heading north
  FakeRadar radar_;
  std::unique_ptr<ModuleDataSorvik> data_;
};

// The pixel `radius` pixels from (x, y) along `bearing` (radians, clockwise from north).
DWORD PixelAt(const d3d9_test::Canvas& canvas, double x, double y, double bearing, double radius) {
  return canvas.Pixel(static_cast<int>(std::lround(x + radius * std::sin(bearing))),
                      static_cast<int>(std::lround(y - radius * std::cos(bearing))));
}

TEST_F(RadarDisplayTest, NewDisplayBelongsToItsModuleWithTrailsHidden) {
  std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->GetDataModule(), data_.get());
  EXPECT_EQ(display->IsVisible(), 1);
  EXPECT_FALSE(display->IsLayerVisible(ModuleLayerKey(kRadarModuleName, kTrailLayerName)));
  EXPECT_TRUE(display->IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRadarLayerName)));
  EXPECT_TRUE(display->IsLayerVisible(ModuleLayerKey(kRadarModuleName, kRingsLayerName)));
}

TEST_F(RadarDisplayTest, EchoLandsAtTheBearingAndRadiusOfTheGeometry) {
  const double shiftArc = 0.3 * kRadiansPerNauticalMile;
  // In the middle of a sector: the pixels on a sector's edge may sample the neighbour's rows.
  const double beam = kPi / 2 + kPi / EchoGeometry::kSectors;
  struct Case {
    const char* name;
    std::int16_t headingWord;          // of the sweeps
    std::optional<double> navigation;  // the ship's heading
    double beamBearing;                // where the beam off the starboard bow shows
    double centreEast, centreNorth;    // where the picture's centre shows, in nautical miles
  };
  // The shift is 0.3 miles to starboard: it follows the heading, and needs one.
  const std::vector<Case> cases = {
      // A heading answered as the no-value marker: the status has one, the placement does not.
      {"no heading: north up, unshifted", -1, NoValueDouble, beam, 0.0, 0.0},
      {"heading of the sweeps", 2048, 0.4, beam + kPi / 2, 0.0, -0.3},
      {"heading of the ship", -1, kPi, beam + kPi, -0.3, 0.0},
  };
  SetReal("RAD_VK_SHIFT_DIR", kPi / 2);
  SetReal("RAD_VK_SHIFT_DIST", shiftArc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    navigation_.heading_ = c.navigation;
    FillStore(BeamAndRing(beam), c.headingWord);
    d3d9_test::Canvas canvas(kViewSize, kViewSize);
    TestRenderContext context(canvas.Device());
    LocalChartView view(kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context);
    std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
    Show(*display, view, canvas);

    const double x = kCentre + c.centreEast * kPixelsPerMile;
    const double y = kCentre - c.centreNorth * kPixelsPerMile;
    for (double radius : {40.0, 80.0, 110.0, 140.0}) {
      EXPECT_NE(PixelAt(canvas, x, y, c.beamBearing, radius), 0u) << "beam at " << radius;
      EXPECT_EQ(PixelAt(canvas, x, y, c.beamBearing + 0.3, radius), 0u) << "beside the beam at " << radius;
    }
    for (double bearing : {c.beamBearing + 0.5, c.beamBearing + 2.0, c.beamBearing + 4.0, c.beamBearing + 5.5}) {
      EXPECT_NE(PixelAt(canvas, x, y, bearing, kRingRadius), 0u) << "ring at " << bearing;
      EXPECT_EQ(PixelAt(canvas, x, y, bearing, kRingRadius - 10), 0u) << "inside the ring at " << bearing;
      EXPECT_EQ(PixelAt(canvas, x, y, bearing, kRingRadius + 10), 0u) << "outside the ring at " << bearing;
      EXPECT_EQ(PixelAt(canvas, x, y, bearing, kPixelsPerMile + 6), 0u) << "beyond the picture at " << bearing;
    }
    EXPECT_EQ(context.usesEnded_, 2);
  }
}

TEST_F(RadarDisplayTest, SectorsFadeWithAgeUnderTheHighlightAndDimForTheNight) {
  // Echo colour 1 (red 0x79, green 0xF2, blue 0x3B): level 7 texels at opacity 182; the highlight in
  // the same colour. The antenna is in sector 0.
  SetInteger("RAD_ECHO_COLOR", 1);
  FillStore(InnerHalf, -1, 0);
  const Channels colour{0x79, 0xF2, 0x3B};
  struct Sector {
    int index, echoOpacity, highlightOpacity;
  };
  struct Case {
    long dayNightMode;
    bool realTime;
    std::vector<Sector> sectors;
  };
  const std::vector<Case> cases = {
      {0, true, {{0, 255, 25}, {127, 254, 21}, {126, 253, 17}, {125, 252, 13}, {120, 248, 0}, {64, 204, 0},
                 {1, 153, 0}}},
      {1, true, {{0, 127, 25}, {127, 127, 21}, {1, 76, 0}}},
      {2, true, {{0, 63, 25}, {126, 63, 17}, {1, 38, 0}}},
      {0, false, {{0, 255, 0}, {1, 255, 0}, {64, 255, 0}}},
      {2, false, {{0, 63, 0}, {1, 63, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "day/night " << c.dayNightMode << ", real time " << c.realTime);
    SetInteger("RAD_REAL_TIME", c.realTime ? 1 : 0);
    d3d9_test::Canvas canvas(kViewSize, kViewSize);
    TestRenderContext context(canvas.Device());
    LocalChartView view(kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context);
    std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
    Show(*display, view, canvas, c.dayNightMode);
    for (const Sector& s : c.sectors) {
      const double bearing = (s.index + 0.5) * 2 * kPi / EchoGeometry::kSectors;
      const double echoAlpha = 182.0 * s.echoOpacity / 255;
      const double h = s.highlightOpacity;
      const auto expect = [&](int channel, double echo) { return (channel * h + echo * (255 - h)) / 255; };
      // With echo: the echo pass under the highlight; beyond the echo: the highlight alone.
      const Channels withEcho = ChannelsOf(PixelAt(canvas, kCentre, kCentre, bearing, kRingRadius / 2));
      const Channels highlight = ChannelsOf(PixelAt(canvas, kCentre, kCentre, bearing, kRingRadius * 1.5));
      EXPECT_NEAR(withEcho.red, expect(colour.red, colour.red * echoAlpha / 255), 1.5) << "sector " << s.index;
      EXPECT_NEAR(withEcho.green, expect(colour.green, colour.green * echoAlpha / 255), 1.5) << "sector " << s.index;
      EXPECT_NEAR(withEcho.blue, expect(colour.blue, colour.blue * echoAlpha / 255), 1.5) << "sector " << s.index;
      EXPECT_NEAR(highlight.green, colour.green * h / 255, 1) << "sector " << s.index;
      EXPECT_NEAR(highlight.red, colour.red * h / 255, 1) << "sector " << s.index;
    }
  }
}

TEST_F(RadarDisplayTest, RangeChangeClearsThePictureOnce) {
  FillStore(BeamAndRing(kPi / 2));
  d3d9_test::Canvas canvas(kViewSize, kViewSize);
  TestRenderContext context(canvas.Device());
  LocalChartView view(kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context);
  std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
  Show(*display, view, canvas);
  const int lit = kViewSize * kViewSize - canvas.Count(0);
  EXPECT_GT(lit, 1000);

  const auto repaint = [&] {
    canvas.Clear(0);
    display->Draw(&view, 0, nullptr, 0);
    return kViewSize * kViewSize - canvas.Count(0);
  };
  SetInteger("RAD_RANGE", radar_.range_ * 2);
  EXPECT_EQ(repaint(), 0) << "the old picture is gone with the old range";
  std::vector<std::uint8_t> row(kRowLength, 0xFF);
  ASSERT_TRUE(TheSweepStore().ReadRow(kGeometry.rows / 4, row));
  EXPECT_EQ(row[kRingSample], 0) << "and so are the stored sweeps";

  // Sweeps of the new range build the picture anew; later repaints at that range keep it.
  FillStore(BeamAndRing(kPi / 2));
  EXPECT_EQ(display->PollRedraw(), 1);
  EXPECT_EQ(repaint(), lit);
  EXPECT_EQ(repaint(), lit);
}

TEST_F(RadarDisplayTest, DisplaysThatCannotDrawEchoDrawNothing) {
  FillStore(BeamAndRing(kPi / 2));
  SetInteger("RAD_REAL_TIME", 1);  // with the highlight pass
  struct Case {
    const char* name;
    AdapterFaults faults;
    std::function<void(ModuleDisplaySorvik&, LocalChartView&)> prepare;
  };
  const std::vector<Case> cases = {
      {"no texel format", {.refuseA8R8G8B8 = true, .refuseA4R4G4B4 = true}, nullptr},
      {"no textures", {.failCreateTexture = true}, nullptr},
      {"no vertex buffers", {.failCreateVertexBuffer = true}, nullptr},
      {"echo layer hidden",
       {},
       [](ModuleDisplaySorvik& display, LocalChartView&) {
         ModuleLayerKeyList hidden;
         hidden.Add(ModuleLayerKey(kRadarModuleName, kRadarLayerName));
         display.SetHiddenLayers(hidden);
       }},
      {"not the display render mode", {}, [](ModuleDisplaySorvik&, LocalChartView& view) { view.renderMode_ = 2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    d3d9_test::Canvas canvas(kViewSize, kViewSize);
    ASSERT_TRUE(SetAdapterFaults(canvas.D3d(), c.faults));
    TestRenderContext context(canvas.Device());
    LocalChartView view(kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context);
    std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
    if (c.prepare) c.prepare(*display, view);
    Show(*display, view, canvas);
    EXPECT_EQ(canvas.Count(0), kViewSize * kViewSize);
  }

  // A display made before the echo geometry was fixed has no sectors: it never draws echo.
  ResetEchoGeometryForTesting();
  std::unique_ptr<ModuleDisplaySorvik> early = NewDisplay();
  ConfigureEchoGeometry(false);
  d3d9_test::Canvas canvas(kViewSize, kViewSize);
  TestRenderContext context(canvas.Device());
  LocalChartView view(kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context);
  Show(*early, view, canvas);
  EXPECT_EQ(canvas.Count(0), kViewSize * kViewSize);
  EXPECT_FALSE(early->Textures().HasTextures());
}

TEST_F(RadarDisplayTest, NewDeviceGetsNewTexturesAndNothingOutlivesTheDisplay) {
  FillStore(BeamAndRing(kPi / 2));
  d3d9_test::Canvas canvas(kViewSize, kViewSize);
  TestRenderContext context(canvas.Device());
  LocalChartView view(kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context);
  const UINT withoutDisplay = LiveDirect3DObjects();
  std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
  Show(*display, view, canvas);
  const std::vector<DWORD> picture = canvas.Pixels();
  // The eight textures, and nothing of the draw left behind on the device.
  EXPECT_EQ(LiveDirect3DObjects(), withoutDisplay + EchoGeometry::kTextures);

  IDirect3DTexture9* old = display->Textures().Texture(0);
  ASSERT_NE(old, nullptr);
  old->AddRef();
  context.generation_ = 2;
  display->Draw(&view, 0, nullptr, 0);
  EXPECT_EQ(old->Release(), 0u) << "the display let go of its old texture";
  EXPECT_TRUE(display->Textures().HasTextures());
  EXPECT_EQ(LiveDirect3DObjects(), withoutDisplay + EchoGeometry::kTextures);
  // The new textures show the whole picture at once, without waiting for the antenna.
  EXPECT_EQ(display->PollRedraw(), 1);
  canvas.Clear(0);
  display->Draw(&view, 0, nullptr, 0);
  EXPECT_EQ(canvas.Pixels(), picture);

  display.reset();
  EXPECT_EQ(LiveDirect3DObjects(), withoutDisplay);
}

// Screen points of a view centred on the own ship, 150 pixels per nautical mile.
class LocalConverter final : public CoordinateConverter {
public:
  void ScreenToGeo(PosType& position, const ScreenPoint& point) override {
    const double perPixel = kRadiansPerNauticalMile / kPixelsPerMile;
    position = PosType(kOwnShip.latitude - (point.y - kCentre) * perPixel,
                       kOwnShip.longitude + (point.x - kCentre) * perPixel / std::cos(kOwnShip.latitude));
  }
};

TEST_F(RadarDisplayTest, PointsWithinTheSweepDistanceAreInRange) {
  FillStore(BeamAndRing(kPi / 2));
  std::unique_ptr<ModuleDisplaySorvik> display = NewDisplay();
  LocalConverter converter;
  const int centre = static_cast<int>(kCentre);
  EXPECT_TRUE(display->IsInRadarRange({centre + 100, centre}, &converter));
  EXPECT_TRUE(display->IsInRadarRange({centre, centre - 145}, &converter));
  EXPECT_FALSE(display->IsInRadarRange({centre - 156, centre}, &converter));
  EXPECT_FALSE(display->IsInRadarRange({centre, centre}, nullptr));
}

}  // namespace

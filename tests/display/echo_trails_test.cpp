// Echo trails on the real device: trail levels in the module's sweep store, the view's trail layer and
// the trail colour of the settings deciding whether they show.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "../platform/d3d9_canvas.h"
#include "display/echo_geometry.h"
#include "display/echo_trails.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "module/module_data_sorvik.h"
#include "settings/field_access.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/local_chart_view.h"
#include "support/radar_feature_edit.h"
#include "support/scratch_profile.h"
#include "support/test_data_module.h"
#include "winbase.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kViewSize = 400;
constexpr double kCentre = kViewSize / 2.0;
constexpr double kPixelsPerMile = 150.0;  // the sweep distance is one nautical mile
// Echo over the inner quarter of the picture, trails over a band at three quarters.
constexpr double kEchoRadius = kPixelsPerMile / 8;
constexpr double kTrailRadius = kPixelsPerMile * 3 / 4;
const PosType kOwnShip(0.5, 0.2);
constexpr std::uint8_t kTrailLevel = 15;

class EchoTrailsTest : public ProfileTest {
protected:
  void TearDown() override {
    data_.reset();
    TheSweepStore().Reset();
    TheSweepStore().SetShiftSamples(false);
    ResetEchoGeometryForTesting();
    ProfileTest::TearDown();
  }

  // The radar's modules in normal or IMO mode, the view not yet shown. An IMO radar sends its levels in
  // the top three bits of each sample.
  void Start(bool imoMode) {
    imoMode_ = imoMode;
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(imoMode);
    TheSweepStore().Reset();
    TheSweepStore().SetShiftSamples(imoMode);
    // Sweeps keep arriving: nothing in the transmitter's state hides the echo.
    TheSweepStore().StampSweepArrival(GetTickCount());
    data_ = TestDataModule(&navigation_, radar_.Accessor(), imoMode);
    SetInteger("RAD_REAL_TIME", 1);
    display_.reset(static_cast<ModuleDisplaySorvik*>(data_->CreateDisplay()));
  }

  // Sweeps over rows first up to (not including) end of one turn: a strong echo near the centre and
  // trail level 15 in a band further out (sent as is, also to an IMO radar).
  void Sweep(int first, int end) {
    const EchoGeometry& geometry = GetEchoGeometry();
    const int length = geometry.textureSize;
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(length), 0);
    const std::uint8_t strong = imoMode_ ? 0xFF : 7;
    const auto sampleAt = [&](double radius) {
      return static_cast<int>(radius / kPixelsPerMile * geometry.validSamples);
    };
    for (int i = 0; i < sampleAt(kEchoRadius * 2); ++i) samples[static_cast<std::size_t>(i)] = strong;
    for (int i = sampleAt(kTrailRadius - 10); i < sampleAt(kTrailRadius + 10); ++i)
      samples[static_cast<std::size_t>(i)] = kTrailLevel;
    for (int row = first; row < end; ++row) {
      const SweepRecord record{kSweepKindSamples, 0, samples.data(), static_cast<std::uint16_t>(length),
                               static_cast<std::uint16_t>(length),
                               static_cast<std::uint16_t>(row * geometry.AngleUnitsPerRow()), -1};
      ASSERT_TRUE(TheSweepStore().AddSweep(&record, 1.0));
    }
  }
  void SweepTurn() { Sweep(0, GetEchoGeometry().rows); }

  void SetInteger(const char* name, int value) { SetRadarFeatureField(*data_, name, value); }


  void ShowTrailLayer() { display_->SetHiddenLayers(ModuleLayerKeyList()); }

  // A host's poll and repaint on a cleared view.
  void Repaint() {
    display_->PollRedraw();
    canvas_.Clear(0);
    display_->Draw(&view_, 0, nullptr, 0);
  }
  // The first repaint creates the textures, the next shows them.
  void FirstRepaints() {
    Repaint();
    Repaint();
  }

  // Whether anything is drawn `radius` pixels from the centre at `bearing` (radians, clockwise from north).
  bool LitAt(double bearing, double radius) const {
    return canvas_.Pixel(static_cast<int>(std::lround(kCentre + radius * std::sin(bearing))),
                         static_cast<int>(std::lround(kCentre - radius * std::cos(bearing)))) != 0;
  }
  bool TrailAt(double bearing) const { return LitAt(bearing, kTrailRadius); }
  bool EchoAt(double bearing) const { return LitAt(bearing, kEchoRadius); }

  FakeNavigation navigation_{kOwnShip};  // north up: the sweeps carry no heading of their own
  FakeRadar radar_;
  bool imoMode_ = false;
  std::unique_ptr<ModuleDataSorvik> data_;
  std::unique_ptr<ModuleDisplaySorvik> display_;
  d3d9_test::Canvas canvas_{kViewSize, kViewSize};
  TestRenderContext context_{canvas_.Device()};
  LocalChartView view_{kViewSize, kViewSize, kOwnShip, kPixelsPerMile, &context_};
};

// Bearings of the two halves of a turn, clear of the highlight that follows the antenna at north or south.
constexpr double kEast = kPi / 4, kSouthEast = 3 * kPi / 4;
constexpr double kSouthWest = 5 * kPi / 4, kNorthWest = 7 * kPi / 4;

TEST_F(EchoTrailsTest, TrailsComeInWithTheSweepOnceShownAndGoWithTheRange) {
  Start(false);
  SweepTurn();
  FirstRepaints();
  EXPECT_TRUE(EchoAt(kEast));
  EXPECT_FALSE(TrailAt(kEast)) << "a new view hides its trails";

  ShowTrailLayer();
  Repaint();
  EXPECT_FALSE(TrailAt(kEast)) << "rows not swept again keep their texels";

  // Half a turn: the trails come in where the antenna passed, and only there.
  Sweep(0, GetEchoGeometry().rows / 2);
  Repaint();
  EXPECT_TRUE(TrailAt(kEast));
  EXPECT_TRUE(TrailAt(kSouthEast));
  EXPECT_FALSE(TrailAt(kSouthWest));
  EXPECT_FALSE(TrailAt(kNorthWest));
  Sweep(GetEchoGeometry().rows / 2, GetEchoGeometry().rows);
  Repaint();
  EXPECT_TRUE(TrailAt(kSouthWest));
  EXPECT_TRUE(TrailAt(kNorthWest));

  SetInteger("RAD_RANGE", radar_.range_ * 2);
  Repaint();
  EXPECT_FALSE(TrailAt(kEast)) << "trails belong to the old range";
  EXPECT_FALSE(EchoAt(kEast));
}

TEST_F(EchoTrailsTest, OnlyTheThreeTrailColoursShowTrails) {
  Start(false);
  SweepTurn();
  ShowTrailLayer();
  FirstRepaints();
  struct Case {
    int colourIndex;
    bool shown;
  };
  for (const Case& c : {Case{0, true}, Case{2, true}, Case{3, false}, Case{kNoTrailColourIndex, false}}) {
    SCOPED_TRACE(testing::Message() << "trail colour " << c.colourIndex);
    SetInteger("RAD_VK_TRAIL_COLOR", c.colourIndex);
    SweepTurn();
    Repaint();
    EXPECT_TRUE(EchoAt(kSouthWest));
    EXPECT_EQ(TrailAt(kSouthWest), c.shown);
  }
}

TEST_F(EchoTrailsTest, ImoViewsNeverShowTrails) {
  Start(true);
  ShowTrailLayer();
  SweepTurn();
  FirstRepaints();
  EXPECT_TRUE(EchoAt(kSouthWest));
  EXPECT_FALSE(TrailAt(kSouthWest));
}

}  // namespace

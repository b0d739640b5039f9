// The transmitter status: what the radar's state, the navigation source and the time since the last sweep
// make of it, with time stepped through GetTickCount's test hook; and its message on a real view surface.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/radar_identity.h"
#include "d3d9.h"
#include "display/echo_geometry.h"
#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "extensions/d3d9.h"
#include "extensions/gdi32.h"
#include "extensions/gdiplus.h"
#include "extensions/kernel32.h"
#include "extensions/user32.h"
#include "host/chart_view.h"
#include "host/render_context.h"
#include "host/sweep_record.h"
#include "host/vk_feature.h"
#include "module/module_data_sorvik.h"
#include "module/resource_library.h"
#include "overlays/overlay_inputs.h"
#include "overlays/status_message.h"
#include "overlays/text_argument.h"
#include "overlays/transmitter_status.h"
#include "support/fake_navigation.h"
#include "support/quiet_radar.h"
#include "support/scratch_profile.h"
#include "support/test_data_module.h"

// For gtest's messages; beside the type, where gtest looks for it.
void PrintTo(const TransmitterStatus& status, std::ostream* out) {
  *out << "{" << status.code << ", " << status.value << "}";
}

namespace {

constexpr DWORD kStart = 100000;  // well past the first time-out after system start

// A radar whose state holds the four fields the status reads, each set or left without a value.
class StatusRadar final : public QuietRadar {
public:
  StatusRadar() : definition_(new OGRFeatureDefn("RADAR_STATE")) {
    definition_->Reference();
    definition_->SetGeomType(wkbNone);
    for (const auto& [name, value] : fields_) {
      OGRFieldDefn field(name.c_str(), OFTInteger);
      definition_->AddFieldDefn(&field);
    }
  }
  ~StatusRadar() { definition_->Release(); }
  StatusRadar(const StatusRadar&) = delete;
  StatusRadar& operator=(const StatusRadar&) = delete;

  OGRFeature* GetStateFeature(int) override {
    if (!available_) return nullptr;
    OGRFeature* feature = OGRFeature::CreateFeature(definition_);
    for (const auto& [name, value] : fields_)
      if (value) feature->SetField(name.c_str(), *value);
    return feature;
  }

  bool available_ = true;
  std::map<std::string, std::optional<int>> fields_ = {
      {"RAD_TXSTBY", 2}, {"RAD_WATCHMAN_TIME", 0}, {"RAD_WARMUPTIME", 0}, {"RAD_SOURCE_STATUS", 1}};

private:
  OGRFeatureDefn* definition_;
};

class TransmitterStatusTest : public ProfileTest {
protected:
  void SetUp() override {
    ProfileTest::SetUp();
    SetTickCountOverride(kStart);
  }
  void TearDown() override {
    data_.reset();
    ClearTickCountOverride();
    ProfileTest::TearDown();
  }

  ModuleDataSorvik& Data(bool imoMode = false, bool withNavigation = true) {
    data_ = TestDataModule(withNavigation ? &navigation_ : nullptr, [this] { return &radar_; }, imoMode);
    return *data_;
  }
  void SetField(const char* name, std::optional<int> value) {
    radar_.fields_[name] = value;
    if (data_) MarkRadarChanged(*data_);
  }

  // The status of the radar's state as it stands, as a display of a data module in `imoMode`, with or
  // without the navigation source, computes it.
  TransmitterStatus Status(std::uint32_t lastSweep, TransmitterTicks& ticks, bool imoMode = false,
                           bool withNavigation = true) {
    const std::unique_ptr<OGRFeature, decltype(&OGRFeature::DestroyFeature)> settings(radar_.GetStateFeature(0),
                                                                                       &OGRFeature::DestroyFeature);
    OverlayInputs inputs;
    inputs.settings = settings.get();
    inputs.imoMode = imoMode;
    inputs.navigation = withNavigation ? &navigation_ : nullptr;
    return ComputeTransmitterStatus(&inputs, lastSweep, ticks);
  }

  StatusRadar radar_;
  FakeNavigation navigation_;
  std::unique_ptr<ModuleDataSorvik> data_;
};

TEST_F(TransmitterStatusTest, EachConditionRaisesItsCodeAndTheStrongerOneWins) {
  struct Case {
    const char* name;
    std::map<std::string, std::optional<int>> fields = {};  // over a transmitting radar, source present
    bool sweepsArriving = true, hasHeading = true, flagged = false, imoMode = false;
    TransmitterStatus expected;
  };
  const std::map<std::string, std::optional<int>> standbyWithWatchman = {{"RAD_TXSTBY", 1}, {"RAD_WATCHMAN_TIME", 30}};
  const std::vector<Case> cases = {
      {.name = "all well", .expected = {0, 0}},
      {.name = "no sweeps", .sweepsArriving = false, .expected = {1, 0}},
      {.name = "standby over no sweeps", .fields = {{"RAD_TXSTBY", 1}}, .sweepsArriving = false, .expected = {2, 0}},
      {.name = "off", .fields = {{"RAD_TXSTBY", 0}}, .expected = {3, 0}},
      {.name = "not available", .fields = {{"RAD_TXSTBY", 3}}, .expected = {4, 0}},
      {.name = "unreadable transmit state", .fields = {{"RAD_TXSTBY", std::nullopt}}, .expected = {0, 0}},
      {.name = "watchman", .fields = standbyWithWatchman, .expected = {6, 0}},
      {.name = "watchman in IMO: standby", .fields = standbyWithWatchman, .imoMode = true, .expected = {2, 0}},
      {.name = "watchman time while transmitting", .fields = {{"RAD_WATCHMAN_TIME", 30}}, .expected = {0, 0}},
      {.name = "no heading over watchman", .fields = standbyWithWatchman, .hasHeading = false, .expected = {9, 0}},
      {.name = "navigation not valid over no heading", .hasHeading = false, .flagged = true, .expected = {7, 0}},
      {.name = "warming up over navigation not valid",
       .fields = {{"RAD_WARMUPTIME", 90}},
       .flagged = true,
       .expected = {5, 90}},
      {.name = "no warm-up in IMO", .fields = {{"RAD_WARMUPTIME", 90}}, .imoMode = true, .expected = {0, 0}},
      {.name = "source lost over warming up",
       .fields = {{"RAD_WARMUPTIME", 90}, {"RAD_SOURCE_STATUS", 0}},
       .expected = {8, 0}},
  };
  const auto transmitting = radar_.fields_;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    radar_.fields_ = transmitting;
    for (const auto& [name, value] : c.fields) radar_.fields_[name] = value;
    navigation_.heading_ = c.hasHeading ? std::optional<double>(0.0) : std::nullopt;
    navigation_.flagged_ = c.flagged;
    TransmitterTicks ticks;
    const std::uint32_t lastSweep = c.sweepsArriving ? kStart - 100 : kStart - 5001;
    EXPECT_EQ(Status(lastSweep, ticks, c.imoMode), c.expected);
  }
}

TEST_F(TransmitterStatusTest, WhatRemainsWithoutSettingsNavigationOrDataModule) {
  TransmitterTicks ticks;
  EXPECT_EQ(ComputeTransmitterStatus(nullptr, kStart - 5001, ticks), (TransmitterStatus{1, 0}));
  EXPECT_EQ(ComputeTransmitterStatus(nullptr, kStart, ticks), (TransmitterStatus{0, 0}));

  // A data module without a navigation source has no heading to show the picture by.
  SetField("RAD_TXSTBY", 1);
  EXPECT_EQ(Status(kStart, ticks, false, false), (TransmitterStatus{9, 0}));

  // Without the settings only the navigation's codes and the missing sweeps are left.
  radar_.available_ = false;
  navigation_.flagged_ = true;
  EXPECT_EQ(Status(kStart, ticks), (TransmitterStatus{7, 0}));
  navigation_.flagged_ = false;
  EXPECT_EQ(Status(kStart - 5001, ticks), (TransmitterStatus{1, 0}));
}

// Each stamp is taken just before the tick count wraps and looked at across the wrap: fresh up to 5000 ms
// after it, timed out from 5001 ms on.
TEST_F(TransmitterStatusTest, TimeOutsRunAcrossTheWrapOfTheTickCount) {
  constexpr DWORD kBeforeWrap = 0xFFFFFF00u;
  const auto at = [&](DWORD tick, std::uint32_t lastSweep, TransmitterTicks& ticks) {
    SetTickCountOverride(tick);
    return Status(lastSweep, ticks).code;
  };
  TransmitterTicks ticks;
  EXPECT_EQ(at(kBeforeWrap + 5000, kBeforeWrap, ticks), 0) << "a sweep before the wrap";
  EXPECT_EQ(at(kBeforeWrap + 5001, kBeforeWrap, ticks), 1);

  // Seen transmitting before the wrap: a standby is not looked at for the next 5000 ms.
  ticks = {};
  EXPECT_EQ(at(kBeforeWrap, kBeforeWrap, ticks), 0);
  EXPECT_EQ(ticks.lastTransmitTick, kBeforeWrap);
  SetField("RAD_TXSTBY", 1);
  EXPECT_EQ(at(kBeforeWrap + 1000, kBeforeWrap + 1000, ticks), 0);
  EXPECT_EQ(at(kBeforeWrap + 5000, kBeforeWrap + 5000, ticks), 0);
  EXPECT_EQ(at(kBeforeWrap + 5001, kBeforeWrap + 5001, ticks), 2);

  // The radar source seen present before the wrap is lost only 5000 ms later.
  SetField("RAD_TXSTBY", 2);
  ticks = {};
  EXPECT_EQ(at(kBeforeWrap, kBeforeWrap, ticks), 0);
  EXPECT_EQ(ticks.lastSourceTick, kBeforeWrap);
  SetField("RAD_SOURCE_STATUS", 0);
  EXPECT_EQ(at(kBeforeWrap + 5000, kBeforeWrap + 5000, ticks), 0);
  EXPECT_EQ(at(kBeforeWrap + 5001, kBeforeWrap + 5001, ticks), 8);
}

TEST(StatusMessageText, FormatsTheWarmUpTimeIntoItsTextAndOnlyThat) {
  EXPECT_EQ(FormatTextArgument("WARMING UP %s", "1:30"), "WARMING UP 1:30");
  // A resource text with more conversions than the one argument passed keeps them as text.
  EXPECT_EQ(FormatTextArgument("%d%% %s %s %", "1:30"), "%d% 1:30 %s %");

  const ResourceLibraryScope resources;
  ASSERT_TRUE(resources.IsOpen());
  EXPECT_EQ(StatusMessageText({5, 90}), "WARMING UP 1:30");
  EXPECT_EQ(StatusMessageText({2, 0}), "RADAR STANDBY");
  EXPECT_EQ(StatusMessageText({8, 0}), "RADAR SOURCE LOST");
  EXPECT_EQ(StatusMessageText({0, 0}), "");
}

TEST_F(TransmitterStatusTest, PollAsksForARepaintOnEachChangeAndEachWarmUpSecond) {
  TheSweepStore().StampSweepArrival(kStart);
  Data();
  std::unique_ptr<ModuleDisplay> display(data_->CreateDisplay());
  SetField("RAD_WARMUPTIME", 90);
  EXPECT_EQ(display->PollRedraw(), 1);
  EXPECT_EQ(display->PollRedraw(), 0);
  SetField("RAD_WARMUPTIME", 89);
  EXPECT_EQ(display->PollRedraw(), 1);
  EXPECT_EQ(static_cast<ModuleDisplaySorvik&>(*display).LastStatus(), (TransmitterStatus{5, 89}));

  SetField("RAD_WARMUPTIME", 0);
  SetField("RAD_TXSTBY", 1);
  SetTickCountOverride(kStart + 5001);
  TheSweepStore().StampSweepArrival(kStart + 5001);
  EXPECT_EQ(display->PollRedraw(), 1);
  EXPECT_EQ(display->PollRedraw(), 0) << "standby both times";
}

// A view whose device context and Direct3D device draw into the same opaque black pixels.
class SurfaceView final : public ChartView, public RenderContext {
public:
  static constexpr int kWidth = 640, kHeight = 400;
  static constexpr DWORD kBackground = 0xFF000000u;

  SurfaceView() : pixels_(std::size_t{kWidth} * kHeight, kBackground) {
    const ViewSurface surface{pixels_.data(), kWidth, kHeight, kWidth * 4};
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    CreateViewDevice(d3d_, surface, &device_);
    dc_.Attach(CreateViewDC(surface));
  }
  ~SurfaceView() {
    ::DeleteDC(dc_.Detach());
    if (device_) device_->Release();
    if (d3d_) d3d_->Release();
  }

  int GetRenderMode() override { return kDisplayRenderMode; }
  CDC* GetViewDC(int) override { return &dc_; }
  RenderContext* GetRenderContext() override { return this; }
  // North up, 150 pixels per nautical mile around the own ship.
  void GeoToScreen(float& x, float& y, const PosType& position, int) override {
    const double pixelsPerRadian = 150.0 * 10800.0 / 3.14159265358979;
    x = static_cast<float>(kWidth / 2 + (position.longitude - 0.2) * std::cos(0.5) * pixelsPerRadian);
    y = static_cast<float>(kHeight / 2 - (position.latitude - 0.5) * pixelsPerRadian);
  }
  ViewSize GetViewSize() override { return {kWidth, kHeight}; }
  IDirect3DDevice9* GetDevice() override { return device_; }
  int GetDeviceGeneration() override { return 1; }
  void EndUse() override {}

  DWORD Pixel(int x, int y) const { return pixels_[std::size_t(y) * kWidth + x]; }
  void Clear() { std::fill(pixels_.begin(), pixels_.end(), kBackground); }
  bool Untouched() const {
    return std::all_of(pixels_.begin(), pixels_.end(), [](DWORD p) { return p == kBackground; });
  }

private:
  std::vector<DWORD> pixels_;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  CDC dc_;
};

int Red(DWORD pixel) { return static_cast<int>(pixel >> 16 & 0xFF); }
int Green(DWORD pixel) { return static_cast<int>(pixel >> 8 & 0xFF); }
int Blue(DWORD pixel) { return static_cast<int>(pixel & 0xFF); }

int dialogsShown = 0;
int CountDialog(HWND, LPCSTR, LPCSTR, UINT) {
  ++dialogsShown;
  return IDOK;
}

class StatusDrawingTest : public TransmitterStatusTest {
protected:
  void SetUp() override {
    TransmitterStatusTest::SetUp();
    SetMessageBoxPresenter(&CountDialog);
    TheSweepStore().StampSweepArrival(kStart);
  }
  void TearDown() override {
    SetMessageBoxPresenter(nullptr);
    TransmitterStatusTest::TearDown();
  }
  void Paint(ModuleDisplaySorvik& display, long printingStatus = 0) {
    VKFeature properties;
    properties.SetValue("PRINTING_STATUS", printingStatus);
    display.Draw(&view_, 0, &properties, 0);
  }

  SurfaceView view_;
};

TEST_F(StatusDrawingTest, MessageIsCentredInItsTintedFramedBoxAndNotPrinted) {
  // Without a navigation source: "NO HEADING", and neither echo nor rings are drawn.
  Data(false, false);
  std::unique_ptr<ModuleDisplaySorvik> display(static_cast<ModuleDisplaySorvik*>(data_->CreateDisplay()));
  const UINT gdiplusObjects = LiveGdiplusObjects();
  Paint(*display);
  EXPECT_EQ(LiveGdiplusObjects(), gdiplusObjects);
  EXPECT_EQ(dialogsShown, 0) << "the resource library was found";

  // The box: the red tint of the background, bounded by its frame in the text colour.
  int left = SurfaceView::kWidth, right = -1, top = SurfaceView::kHeight, bottom = -1;
  int textBlue = 0, reliefGreen = 0;
  for (int y = 0; y < SurfaceView::kHeight; ++y) {
    for (int x = 0; x < SurfaceView::kWidth; ++x) {
      const DWORD pixel = view_.Pixel(x, y);
      if (pixel == SurfaceView::kBackground) continue;
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      textBlue += Blue(pixel) > 80;
      reliefGreen += Green(pixel) > 80;
    }
  }
  ASSERT_GT(right - left, 200);
  EXPECT_NEAR((left + right) / 2.0, SurfaceView::kWidth / 2, 2.0);
  EXPECT_NEAR((top + bottom) / 2.0, SurfaceView::kHeight / 2, 2.0);
  // Two lines of 50-pixel Arial (57.5 pixels each): the measured text ends with a line break.
  EXPECT_NEAR(bottom - top, 117, 4);
  // Inside the corner: red at alpha 100 over black; on the frame: blue.
  const DWORD inside = view_.Pixel(left + 3, top + 3);
  EXPECT_NEAR(Red(inside), 100, 2);
  EXPECT_EQ(Green(inside), 0);
  EXPECT_EQ(Blue(inside), 0);
  EXPECT_GT(Blue(view_.Pixel(left, (top + bottom) / 2)), 50);
  EXPECT_GT(textBlue, 200) << "the text";
  EXPECT_GT(reliefGreen, 50) << "its relief";

  view_.Clear();
  Paint(*display, 1);
  EXPECT_TRUE(view_.Untouched());
}

// A turn of strong echo out to the whole sweep distance.
void FillStoreWithEcho() {
  const EchoGeometry& geometry = GetEchoGeometry();
  std::vector<std::uint8_t> samples(512, 7);
  for (int row = 0; row < geometry.rows; ++row) {
    const SweepRecord record{kSweepKindSamples, 0, samples.data(), 512, 512,
                             static_cast<std::uint16_t>(row * geometry.AngleUnitsPerRow()), -1};
    ASSERT_TRUE(TheSweepStore().AddSweep(&record, 1.0));
  }
}

TEST_F(StatusDrawingTest, EchoIsHiddenWhileACodeIsPending) {
  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(false);
  TheSweepStore().Reset();
  FillStoreWithEcho();
  Data();
  std::unique_ptr<ModuleDisplaySorvik> display(static_cast<ModuleDisplaySorvik*>(data_->CreateDisplay()));
  ModuleLayerKeyList hidden;
  hidden.Add(ModuleLayerKey(kRadarModuleName, kRingsLayerName));
  display->SetHiddenLayers(hidden);
  // Above the message's box, inside the picture.
  const auto echoShown = [&] {
    return view_.Pixel(SurfaceView::kWidth / 2, SurfaceView::kHeight / 2 - 100) != SurfaceView::kBackground;
  };

  display->PollRedraw();
  Paint(*display);  // makes the textures
  display->PollRedraw();
  view_.Clear();
  Paint(*display);
  EXPECT_TRUE(echoShown());

  SetField("RAD_TXSTBY", 1);
  SetTickCountOverride(kStart + 5001);
  TheSweepStore().StampSweepArrival(kStart + 5001);
  EXPECT_EQ(display->PollRedraw(), 1);
  for (long printing : {0L, 1L}) {
    view_.Clear();
    Paint(*display, printing);
    EXPECT_FALSE(echoShown()) << "printing " << printing;
  }
  display.reset();
  TheSweepStore().Reset();
  ResetEchoGeometryForTesting();
}

}  // namespace

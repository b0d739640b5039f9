// Range rings and radar labels drawn on a real view surface, over a radar service of the test's own;
// texts from the staged resource library, ring intervals through the staged unit converter.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "afxwin.h"
#include "extensions/gdi32.h"
#include "extensions/gdiplus.h"
#include "overlays/label_builders.h"
#include "overlays/overlay_inputs.h"
#include "overlays/range_rings.h"
#include "overlays/text_drawing.h"
#include "support/local_chart_view.h"
#include "support/quiet_radar.h"
#include "support/scratch_profile.h"

namespace {

constexpr DWORD kBackground = 0xFF000000u;
constexpr DWORD kRingPixel = 0xFF323232u;
constexpr int kViewSize = 320;
constexpr int kCentre = kViewSize / 2;
constexpr std::int32_t kPrinting = 1;
constexpr std::int32_t kPrintingWithLabels = 1 | 2 | 8;
const PosType kRadarCentre(0.5, 0.2);

class TestRadar final : public QuietRadar {
public:
  TestRadar() : definition_(new OGRFeatureDefn("RADAR_STATE")) {
    definition_->Reference();
    definition_->SetGeomType(wkbNone);
    for (const auto& [name, value] : fields_) {
      OGRFieldDefn field(name.c_str(), OFTInteger);
      definition_->AddFieldDefn(&field);
    }
  }
  ~TestRadar() { definition_->Release(); }
  TestRadar(const TestRadar&) = delete;
  TestRadar& operator=(const TestRadar&) = delete;

  OGRFeature* GetStateFeature(int) override {
    OGRFeature* feature = OGRFeature::CreateFeature(definition_);
    for (const auto& [name, value] : fields_) feature->SetField(name.c_str(), value);
    return feature;
  }
  bool GetRingLayout(int, int, float* interval, int* count) override {
    *interval = ringInterval_;
    *count = ringCount_;
    return true;
  }
  int GetPulseLabelCode(int, int, int, int) override { return 0; }
  void FormatRange(CString& text, int) override { text = rangeText_; }
  double GetRingInterval(int, int) override { return ringInterval_; }

  std::map<std::string, int> fields_ = {
      {"RAD_RANGE", 4}, {"RAD_RANGE_UNIT", 0}, {"RAD_PULSE", 1}, {"RAD_ANTENNA", 2}, {"RAD_MODEL", 1}};
  float ringInterval_ = 0.25f;  // nautical miles
  int ringCount_ = 3;
  CString rangeText_ = "0.75";

private:
  OGRFeatureDefn* definition_;
};

class TestService final : public VKSorVikAPI {
public:
  int Open(int*) override { return 0; }
  SorVikRadar* GetRadar() override { return &radar_; }
  void GetRadarIdentity(CString&, CString& name, CString&, CString&, CString&, CString&) override { name = "RADAR"; }

  TestRadar radar_;
};

struct Ink {
  int left = kViewSize, top = kViewSize, right = -1, bottom = -1;
  bool Empty() const { return right < 0; }
};

// A view of kViewSize pixels square with a device context on its pixels; the radar centre at its middle.
class SurfaceView final : public ChartView {
public:
  explicit SurfaceView(double pixelsPerMile)
      : pixels_(std::size_t{kViewSize} * kViewSize, kBackground),
        projection_(kViewSize, kViewSize, kRadarCentre, pixelsPerMile, nullptr) {
    dc_.Attach(CreateViewDC(ViewSurface{pixels_.data(), kViewSize, kViewSize, kViewSize * 4}));
  }
  int GetRenderMode() override { return kDisplayRenderMode; }
  CDC* GetViewDC(int) override { return &dc_; }
  RenderContext* GetRenderContext() override { return nullptr; }
  void GeoToScreen(float& x, float& y, const PosType& position, int flags) override {
    projection_.GeoToScreen(x, y, position, flags);
  }
  ViewSize GetViewSize() override { return {kViewSize, kViewSize}; }

  DWORD Pixel(int x, int y) const { return pixels_[std::size_t(y) * kViewSize + std::size_t(x)]; }
  // The bounds of what was drawn within the columns [left, right) and rows [top, bottom).
  Ink InkIn(double left, double top, double right, double bottom) const {
    Ink ink;
    const auto clamp = [](double v) { return std::clamp(static_cast<int>(std::floor(v)), 0, kViewSize); };
    for (int y = clamp(top); y < clamp(bottom); ++y)
      for (int x = clamp(left); x < clamp(right); ++x)
        if (Pixel(x, y) != kBackground) {
          ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
          ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
  }
  // The distances from the centre, along a step direction, of the ring pixels.
  std::vector<int> RingDistances(int stepX, int stepY) const {
    std::vector<int> distances;
    for (int d = 1; d < kCentre; ++d)
      if (Pixel(kCentre + d * stepX, kCentre + d * stepY) == kRingPixel) distances.push_back(d);
    return distances;
  }
  // How far from the centre the point `nauticalMiles` due south of the radar shows, in whole pixels.
  int ProjectedRadius(double nauticalMiles) {
    float x = 0, y = 0;
    GeoToScreen(x, y, PosType(kRadarCentre.latitude - nauticalMiles * kRadiansPerNauticalMile,
                              kRadarCentre.longitude), 0);
    return static_cast<int>(std::lround(y)) - kCentre;
  }

private:
  std::vector<DWORD> pixels_;
  LocalChartView projection_;
  CDC dc_;
};

// Every found distance lies within a pixel of an expected radius and every radius has one.
void ExpectRingsAt(const std::vector<int>& found, const std::vector<int>& radii, const char* direction) {
  SCOPED_TRACE(direction);
  const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
  for (int d : found)
    EXPECT_TRUE(std::any_of(radii.begin(), radii.end(), [&](int r) { return near(d, r); })) << "stray ring at " << d;
  for (int r : radii)
    EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](int d) { return near(d, r); })) << "no ring at " << r;
}

// The box of a label as the labels are laid out, measured on a scratch surface.
Gdiplus::RectF Label(const char* text, Gdiplus::PointF origin, int size) {
  SurfaceView scratch(1.0);
  Gdiplus::Graphics graphics(scratch.GetViewDC(0)->GetSafeHdc());
  return MeasureLabel(&graphics, text, origin, size);
}
Gdiplus::RectF RangeTemplate() { return Label(".125/", Gdiplus::PointF(55, 5), 30); }

class RingsAndLabelsTest : public ProfileTest {
protected:
  TestRadar& Radar() { return service_.radar_; }

  // Draws with the radar's state as it stands for the settings, and the rest of `inputs_`.
  void Draw(SurfaceView& view, std::int32_t printingStatus = 0, std::int32_t dayNightMode = 0) {
    const std::unique_ptr<OGRFeature, decltype(&OGRFeature::DestroyFeature)> settings(Radar().GetStateFeature(0),
                                                                                       &OGRFeature::DestroyFeature);
    OverlayInputs inputs = inputs_;
    inputs.settings = settings.get();
    DrawRingsAndLabels(&view, inputs, kRadarCentre.latitude, kRadarCentre.longitude, dayNightMode, printingStatus,
                       [this] { return &service_; });
  }

  TestService service_;
  OverlayInputs inputs_;
};

TEST_F(RingsAndLabelsTest, RingsShowAtTheProjectedRadiiOnlyWhenTheyReachBeyondFortyPixels) {
  // Two rings of half a mile: the outer one 40 pixels from the centre at 40 pixels a mile, 41 at 41.
  Radar().ringInterval_ = 0.5f;
  Radar().ringCount_ = 2;
  for (double pixelsPerMile : {40.0, 41.0}) {
    SCOPED_TRACE(pixelsPerMile);
    SurfaceView view(pixelsPerMile);
    const UINT gdiObjects = LiveGdiObjects();
    const UINT gdiplusObjects = LiveGdiplusObjects();
    Draw(view, kPrinting);
    EXPECT_EQ(LiveGdiObjects(), gdiObjects);
    EXPECT_EQ(LiveGdiplusObjects(), gdiplusObjects);
    if (pixelsPerMile == 40.0) {
      ASSERT_EQ(view.ProjectedRadius(1.0), 40);
      EXPECT_TRUE(view.InkIn(0, 0, kViewSize, kViewSize).Empty());
      continue;
    }
    const std::vector<int> radii = {view.ProjectedRadius(0.5), view.ProjectedRadius(1.0)};
    ASSERT_EQ(radii[1], 41);
    ExpectRingsAt(view.RingDistances(1, 0), radii, "east");
    ExpectRingsAt(view.RingDistances(-1, 0), radii, "west");
    ExpectRingsAt(view.RingDistances(0, 1), radii, "south");
  }
}

TEST_F(RingsAndLabelsTest, RingDistancesSitCentredAboveTheirRingsWithFinerDecimalsWhenShort) {
  // Rings of 1/16 mile at 40, 80 and 120 pixels: only the first is below 0.07 miles.
  Radar().ringInterval_ = 0.0625f;
  Radar().ringCount_ = 3;
  SurfaceView view(640.0);
  Draw(view, kPrinting);
  std::vector<int> widths;
  for (int ring = 1; ring <= 3; ++ring) {
    SCOPED_TRACE(ring);
    const int radius = view.ProjectedRadius(0.0625 * ring);
    const int textBottom = kCentre - radius - 4;
    const Ink ink = view.InkIn(kCentre - 35, textBottom - 14, kCentre + 35, textBottom + 2);
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, kCentre, 1.5);
    EXPECT_LE(ink.bottom, textBottom + 1);
    EXPECT_GE(ink.bottom, textBottom - 3);
    widths.push_back(ink.right - ink.left);
  }
  // "0.0625 NM" is two digits wider than "0.13 NM" and "0.19 NM".
  EXPECT_GT(widths[0], widths[1] + 8);
  EXPECT_NEAR(widths[2], widths[1], 2);
}

TEST_F(RingsAndLabelsTest, RangeTextKeepsTheTemplatesRightEdgeAndTheOtherLabelsStay) {
  Radar().ringCount_ = 0;  // no rings; the labels are drawn all the same
  const Gdiplus::RectF templateBox = RangeTemplate();
  const float templateRight = templateBox.X + templateBox.Width;
  const float templateBottom = templateBox.Y + templateBox.Height;
  const Gdiplus::RectF interval = Label("0.25 NM", Gdiplus::PointF(templateRight, templateBox.Y), 15);
  struct Drawn {
    Ink range, interval, pulse, name;
    float nameOrigin;
  };
  std::vector<Drawn> drawn;
  for (const char* range : {".125", "96"}) {
    SCOPED_TRACE(range);
    Radar().rangeText_ = range;
    SurfaceView view(100.0);
    Draw(view);
    const float rangeWidth = Label((CString(range) + "/").GetString(), Gdiplus::PointF(55, 5), 30).Width;
    const float intervalBottom = interval.Y + interval.Height;
    drawn.push_back({view.InkIn(0, 0, templateRight, templateBottom),
                     view.InkIn(templateRight, 0, kViewSize, intervalBottom),
                     view.InkIn(templateRight, intervalBottom, kViewSize, templateBottom),
                     view.InkIn(0, templateBottom, kViewSize, templateBottom + 20), templateRight - rangeWidth});
    const Drawn& d = drawn.back();
    for (const Ink* ink : {&d.range, &d.interval, &d.pulse, &d.name}) ASSERT_FALSE(ink->Empty());
  }
  EXPECT_NEAR(drawn[0].range.right, templateRight - 30 / 6.0, 3.0);
  EXPECT_NEAR(drawn[1].range.right, drawn[0].range.right, 1);
  EXPECT_LT(drawn[0].range.left + 20, drawn[1].range.left);
  EXPECT_EQ(drawn[1].interval.left, drawn[0].interval.left);
  EXPECT_EQ(drawn[1].pulse.left, drawn[0].pulse.left);
  // The name starts under the left edge of the range text: it moves with it.
  EXPECT_NEAR(drawn[1].name.left - drawn[1].nameOrigin, drawn[0].name.left - drawn[0].nameOrigin, 1);
  EXPECT_GT(drawn[1].name.left, drawn[0].name.left + 20);
}

TEST_F(RingsAndLabelsTest, ImoModeNumbersTheRadarFromOneAndAddsTheAntenna) {
  Radar().ringCount_ = 0;
  const Gdiplus::RectF templateBox = RangeTemplate();
  const float rangeWidth = Label("0.75/", Gdiplus::PointF(55, 5), 30).Width;
  const Gdiplus::PointF nameOrigin(templateBox.X + templateBox.Width - rangeWidth, templateBox.Y + templateBox.Height);
  for (bool imoMode : {false, true}) {
    SCOPED_TRACE(imoMode);
    inputs_.imoMode = imoMode;
    SurfaceView view(100.0);
    Draw(view);
    const Gdiplus::RectF name = Label(imoMode ? "RADAR1" : "RADAR", nameOrigin, 15);
    const Ink line = view.InkIn(0, name.Y, kViewSize, name.Y + name.Height);
    if (!imoMode) {
      EXPECT_NEAR(line.right, name.X + name.Width - 15 / 6.0, 3.0);
      continue;
    }
    // Antenna 2 is the 6 ft open array.
    const Gdiplus::RectF antenna = Label("OPEN ARRAY 6FT", Gdiplus::PointF(name.X + name.Width, name.Y), 15);
    EXPECT_NEAR(line.right, antenna.X + antenna.Width - 15 / 6.0, 3.0);
  }
}

TEST_F(RingsAndLabelsTest, LabelReliefIsTheGreyOfTheDayNightMode) {
  Radar().ringCount_ = 0;
  struct Case {
    std::int32_t mode;
    int relief;
  };
  // The mode is compared as a 16-bit value.
  for (const Case& c : {Case{0, 255}, Case{1, 180}, Case{2, 64}, Case{3, 255}, Case{0x10001, 180}}) {
    SCOPED_TRACE(c.mode);
    SurfaceView view(100.0);
    Draw(view, 0, c.mode);
    int brightest = 0;
    bool grey = true;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < kViewSize; ++x) {
        const DWORD pixel = view.Pixel(x, y);
        const int red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
        grey = grey && red == green && green == blue && (pixel >> 24) == 0xFF;
        brightest = std::max(brightest, red);
      }
    EXPECT_TRUE(grey);
    EXPECT_LE(brightest, c.relief);
    EXPECT_GE(brightest, c.relief - 16);
  }
}

TEST_F(RingsAndLabelsTest, PrintingStatusRingsLayerAndRadarStatusChooseWhatIsDrawn) {
  // Rings at 20, 40 and 60 pixels, well below the labels.
  struct Case {
    const char* name;
    std::int32_t printingStatus;
    bool ringsLayerVisible;
    std::int32_t lastStatus;
    bool labels, rings;
  };
  const std::vector<Case> cases = {
      {"on screen", 0, true, 0, true, true},
      {"printing", kPrinting, true, 0, false, true},
      {"printing with labels", kPrintingWithLabels, true, 0, true, true},
      {"printing with half the label bits", kPrinting | 8, true, 0, false, true},
      {"rings layer hidden", 0, false, 0, true, false},
      {"radar not available", 0, true, 4, true, false},
      {"radar source lost", 0, true, 8, true, false},
      {"radar off", 0, true, 3, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    inputs_.ringsLayerVisible = c.ringsLayerVisible;
    inputs_.lastStatus = {c.lastStatus, 0};
    SurfaceView view(80.0);
    Draw(view, c.printingStatus);
    EXPECT_EQ(!view.InkIn(0, 0, kViewSize, 60).Empty(), c.labels);
    EXPECT_EQ(!view.RingDistances(1, 0).empty(), c.rings);
  }
}

TEST(RadarLabelTexts, PulseAndAntennaTextsComeFromTheResources) {
  struct PulseRadar final : QuietRadar {
    int GetPulseLabelCode(int, int, int, int) override { return code_; }
    int code_ = 0;
  } radar;
  const std::map<int, const char*> pulses = {{0, "SP"}, {1, "MP"}, {2, "LP"}, {10, "SP1"}, {14, "LP1"}, {3, ""}, {-1, ""}};
  for (const auto& [code, text] : pulses) {
    radar.code_ = code;
    EXPECT_EQ(GetPulseLabel(radar, 4, 0, 0, 1), text) << code;
  }
  const std::map<int, const char*> antennas = {{0, "OPEN ARRAY 12FT"}, {6, "RADOME 24IN"}, {7, "UNKNOWN"}, {-2, "UNKNOWN"}};
  for (const auto& [antenna, text] : antennas) EXPECT_EQ(GetAntennaLabel(antenna), text) << antenna;
}

TEST(RadarLabelTexts, ImoNamesCountFromOneAndOtherNamesStay) {
  const std::map<std::string, std::string> names = {
      {"RADAR", "SCANNER1"}, {"RADAR1", "SCANNER2"}, {"RADAR2", "SCANNER3"},
      {"X-BAND", "X-BAND"},  {"RADARX", "RADARX"},   {"RADAR99999999999999999999", "RADAR99999999999999999999"}};
  for (const auto& [service, shown] : names)
    EXPECT_EQ(ImoRadarName(service.c_str(), "SCANNER"), shown.c_str()) << service;
}

}  // namespace

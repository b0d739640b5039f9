#include "viewer/live/radar_edit.h"

#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>

#include "host/radar_fields.h"
#include "settings/radar_settings_fields.h"
#include "viewer/live/radar_state.h"

namespace {

// A radar feature's layer as a property panel sees it: GetFeature gives a clone, SetFeature takes what
// it is handed whole (as the module forwards it to the radar) and keeps the last one given.
class PanelLayer final : public OGRLayer {
public:
  PanelLayer() : definition_(new OGRFeatureDefn("RADAR_PROPERTIES")) {
    definition_->Reference();
    for (const char* name : {kFieldRange, kFieldRangeUnit, kFieldTransmit, kFieldWarmUpTime, kFieldEchoColor,
                             kFieldRealTime, kFieldTrailColor, kFieldTrailTime}) {
      OGRFieldDefn field(name, OFTInteger);
      definition_->AddFieldDefn(&field);
    }
    for (const char* name : {kFieldShiftDirection, kFieldShiftDistance}) {
      OGRFieldDefn field(name, OFTReal);
      definition_->AddFieldDefn(&field);
    }
    feature_.reset(new OGRFeature(definition_));
    Set(kFieldRange, 4);
    Set(kFieldRangeUnit, kRangeUnitNauticalMiles);
    Set(kFieldTransmit, kTransmitting);
    Set(kFieldWarmUpTime, 0);
    Set(kFieldEchoColor, 3);
    Set(kFieldRealTime, 0);
    Set(kFieldTrailColor, 2);
    Set(kFieldTrailTime, 15);
    feature_->SetField(kFieldShiftDirection, 0.5);
    feature_->SetField(kFieldShiftDistance, 0.001);
  }
  ~PanelLayer() override { definition_->Release(); }

  void Set(const char* name, int value) { feature_->SetField(name, value); }
  // The field the radar keeps as it is whatever it is asked (null: none).
  const char* ignored = nullptr;
  std::unique_ptr<OGRFeature> handed;

  void ResetReading() override {}
  OGRFeature* GetNextFeature() override { return nullptr; }
  OGRFeatureDefn* GetLayerDefn() override { return definition_; }
  int TestCapability(const char*) override { return FALSE; }
  OGRFeature* GetFeature(GIntBig) override { return feature_->Clone(); }
  OGRErr ISetFeature(OGRFeature* feature) override {
    handed.reset(feature->Clone());
    for (int i = 0; i < feature->GetFieldCount(); ++i) {
      if (!feature->IsFieldSetAndNotNull(i)) continue;
      if (ignored && feature->GetFieldIndex(ignored) == i) continue;
      feature_->SetField(i, feature->GetRawFieldRef(i));
    }
    return OGRERR_NONE;
  }

private:
  OGRFeatureDefn* definition_;
  std::unique_ptr<OGRFeature> feature_;
};

struct EditCase {
  const char* name;
  RadarEdit edit;
  const char* changedField;  // the one field whose value the edit changes; null: none
  double value;              // its new value
};

const EditCase kEditCases[] = {
    {"range index", {.rangeIndex = 6}, kFieldRange, 6},
    {"range up", {.rangeStep = 1}, kFieldRange, 5},
    {"range down", {.rangeStep = -1}, kFieldRange, 3},
    {"standby", {.transmit = false}, kFieldTransmit, kTransmitStandby},
    {"echo colour", {.echoColour = 1}, kFieldEchoColor, 1},
    {"trail colour", {.trailColour = -1}, kFieldTrailColor, -1},
    {"trail time", {.trailTime = 60}, kFieldTrailTime, 60},
    {"real time", {.realTime = true}, kFieldRealTime, 1},
    {"shift bearing", {.shiftBearingDegrees = 90.0}, kFieldShiftDirection, M_PI / 2},
    {"nothing", {}, nullptr, 0},
};

// Each edit changes its one field; every other field goes back as it was read, and the transmitter and
// the range go back unset unless named, so that a state read a moment ago is not asked for again.
TEST(LiveRadarEdit, ChangesOnlyTheNamedSetting) {
  for (const EditCase& c : kEditCases) {
    SCOPED_TRACE(c.name);
    PanelLayer layer;
    std::unique_ptr<OGRFeature> before(layer.GetFeature(0));
    EXPECT_EQ(ApplyRadarEdit(&layer, c.edit), std::nullopt);
    ASSERT_NE(layer.handed, nullptr);
    for (int i = 0; i < before->GetFieldCount(); ++i) {
      const char* name = before->GetFieldDefnRef(i)->GetNameRef();
      const bool named = c.changedField && std::string(name) == c.changedField;
      if (named) {
        EXPECT_NEAR(layer.handed->GetFieldAsDouble(i), c.value, 1e-9) << name;
      } else if (std::string(name) == kFieldTransmit || std::string(name) == kFieldRange) {
        EXPECT_FALSE(layer.handed->IsFieldSet(i)) << name << " was sent back without being named";
      } else {
        EXPECT_EQ(layer.handed->GetFieldAsDouble(i), before->GetFieldAsDouble(i)) << name;
      }
    }
  }
}

TEST(LiveRadarEdit, SaysWhatTheRadarRefused) {
  PanelLayer atEnd;
  atEnd.Set(kFieldRange, kRangeIndexCount - 1);
  EXPECT_EQ(ApplyRadarEdit(&atEnd, {.rangeStep = 1}), "the radar has no longer range");
  EXPECT_EQ(atEnd.handed, nullptr) << "nothing is sent beyond the range table";

  PanelLayer stubborn;
  stubborn.ignored = kFieldRange;
  EXPECT_EQ(ApplyRadarEdit(&stubborn, {.rangeIndex = 2}), "the radar refused range index 2");

  // A radar that stays off has refused to transmit; one that starts its warm-up has not.
  PanelLayer off;
  off.Set(kFieldTransmit, kTransmitOff);
  off.ignored = kFieldTransmit;
  EXPECT_EQ(ApplyRadarEdit(&off, {.transmit = true}), "the radar refused to transmit (it is off)");
  off.Set(kFieldWarmUpTime, 30);
  EXPECT_EQ(ApplyRadarEdit(&off, {.transmit = true}), std::nullopt);
  EXPECT_EQ(ApplyRadarEdit(nullptr, {.transmit = true}), "the radar offers no settings");
}

TEST(LiveRadarState, ReadsTheFeatureAsThePageShowsIt) {
  PanelLayer layer;
  layer.Set(kFieldTransmit, kTransmitOff);
  layer.Set(kFieldWarmUpTime, 42);
  const LiveRadarState warming = ReadRadarState(&layer, 0.75);
  EXPECT_EQ(warming.state, "warming up");
  EXPECT_EQ(warming.warmupSeconds, 42);
  EXPECT_FALSE(warming.transmitting);
  EXPECT_EQ(warming.range, "0.75 NM");
  EXPECT_EQ(warming.rangeIndex, 4);
  EXPECT_NEAR(warming.shiftBearingDegrees, 0.5 * 180 / M_PI, 1e-9);

  layer.Set(kFieldWarmUpTime, 0);
  EXPECT_EQ(ReadRadarState(&layer, 1.0).state, "off");
  layer.Set(kFieldTransmit, kTransmitting);
  const LiveRadarState on = ReadRadarState(&layer, 1.0);
  EXPECT_TRUE(on.transmitting);
  EXPECT_EQ(on.warmupSeconds, std::nullopt);
}

TEST(LiveRadarState, WritesTheRangeInItsUnit) {
  EXPECT_EQ(RangeText(0.125, kRangeUnitNauticalMiles), "0.125 NM");
  EXPECT_EQ(RangeText(12.0, kRangeUnitNauticalMiles), "12 NM");
  EXPECT_EQ(RangeText(1.5 * 1000 / 1852, kRangeUnitKilometres), "1.5 km");
  EXPECT_EQ(RangeText(0.0, kRangeUnitNauticalMiles), "");
  EXPECT_EQ(RangeText(NAN, kRangeUnitNauticalMiles), "");
}

}  // namespace

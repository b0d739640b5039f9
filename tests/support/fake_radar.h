#pragma once
// A radar that answers from a few integers and records what the settings store sends it.
#include <ogr_feature.h>

#include <string>
#include <vector>

#include "host/radar_service.h"
#include "settings/radar_accessor.h"
#include "support/quiet_radar.h"

class FakeRadar final : public QuietRadar {
public:
  FakeRadar() : definition_(new OGRFeatureDefn("RADAR_STATE")) {
    definition_->Reference();
    definition_->SetGeomType(wkbNone);
    for (const char* name : {"RAD_RANGE", "RAD_RANGE_UNIT", "RAD_TXSTBY", "RAD_TRAIL_TIME"}) {
      OGRFieldDefn field(name, OFTInteger);
      definition_->AddFieldDefn(&field);
    }
  }
  ~FakeRadar() { definition_->Release(); }
  FakeRadar(const FakeRadar&) = delete;
  FakeRadar& operator=(const FakeRadar&) = delete;

  RadarAccessor Accessor() {
    return [this] { return this; };
  }

  OGRFeature* GetStateFeature(int) override {
    ++stateRequests_;
    if (!available_) return nullptr;
    OGRFeature* feature = OGRFeature::CreateFeature(definition_);
    const auto set = [&](const char* name, int value) {
      if (name != unsetField_) feature->SetField(name, value);
    };
    set("RAD_RANGE", range_);
    set("RAD_RANGE_UNIT", rangeUnit_);
    set("RAD_TXSTBY", transmit_);
    set("RAD_TRAIL_TIME", serviceTrailTime_);
    return feature;
  }
  int SetStateFeature(OGRFeature* feature, int) override {
    ++stateFeaturesReceived_;
    const int index = feature->GetFieldIndex("RAD_RANGE");
    if (index >= 0 && feature->IsFieldSetAndNotNull(index)) range_ = feature->GetFieldAsInteger(index);
    return 0;
  }
  int SetTrailTime(int trailTime) override {
    trailTimesReceived_.push_back(trailTime);
    return 0;
  }
  int GetCurrentRange(int*, int*) override { return 1; }

  bool available_ = true;
  int range_ = 6;
  int rangeUnit_ = 0;
  int transmit_ = 2;
  int serviceTrailTime_ = 0;
  // A field of the state the radar leaves without a value.
  std::string unsetField_;
  int stateRequests_ = 0;
  int stateFeaturesReceived_ = 0;
  std::vector<int> trailTimesReceived_;

private:
  OGRFeatureDefn* definition_;
};

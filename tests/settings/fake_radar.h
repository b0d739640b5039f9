#pragma once
// A radar that answers from a few integers and records what the settings store sends it.
#include <ogr_feature.h>

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
    ++stateRequests;
    if (!available) return nullptr;
    OGRFeature* feature = OGRFeature::CreateFeature(definition_);
    feature->SetField("RAD_RANGE", range);
    feature->SetField("RAD_RANGE_UNIT", rangeUnit);
    feature->SetField("RAD_TXSTBY", transmit);
    feature->SetField("RAD_TRAIL_TIME", serviceTrailTime);
    return feature;
  }
  int SetStateFeature(OGRFeature* feature, int) override {
    ++stateFeaturesReceived;
    const int index = feature->GetFieldIndex("RAD_RANGE");
    if (index >= 0 && feature->IsFieldSetAndNotNull(index)) range = feature->GetFieldAsInteger(index);
    return 0;
  }
  int SetTrailTime(int trailTime) override {
    trailTimesReceived.push_back(trailTime);
    return 0;
  }
  int GetCurrentRange(int*, int*) override { return 1; }

  bool available = true;
  int range = 6;
  int rangeUnit = 0;
  int transmit = 2;
  int serviceTrailTime = 0;
  int stateRequests = 0;
  int stateFeaturesReceived = 0;
  std::vector<int> trailTimesReceived;

private:
  OGRFeatureDefn* definition_;
};

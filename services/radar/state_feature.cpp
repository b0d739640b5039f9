#include "services/radar/state_feature.h"

#include <ogr_feature.h>

#include <climits>
#include <iterator>
#include <new>

namespace radarsim {
namespace {

constexpr const char* kDefinitionName = "RADAR_STATE";

struct FieldBinding {
  const char* name;
  int RadarState::*value;
};

// The definition's fields, in order.
constexpr FieldBinding kFields[] = {
    {kFieldRange, &RadarState::rangeIndex},
    {kFieldRangeUnit, &RadarState::rangeUnit},
    {kFieldPulse, &RadarState::pulse},
    {kFieldAntenna, &RadarState::antenna},
    {kFieldModel, &RadarState::model},
    {kFieldSourceStatus, &RadarState::sourceStatus},
    {kFieldWarmupTime, &RadarState::warmupLeft},
    {kFieldWatchmanTime, &RadarState::watchmanPeriod},
    {kFieldWatchmanLeft, &RadarState::watchmanLeft},
    {kFieldTransmit, &RadarState::transmitState},
    {kFieldTrailTime, &RadarState::trailTime},
    {kFieldGain, &RadarState::gain},
    {kFieldSea, &RadarState::sea},
    {kFieldRain, &RadarState::rain},
    {kFieldTune, &RadarState::tune},
    {kFieldRotationRate, &RadarState::rotationRate},
    {kFieldLostSpokes, &RadarState::lostSpokes},
};
// The one text field follows the integers.
constexpr int kSpokeStreamIndex = static_cast<int>(std::size(kFields));

std::optional<int> ReadInteger(const OGRFeature& feature, const char* name) {
  const int index = feature.GetFieldIndex(name);
  if (index < 0 || !feature.IsFieldSetAndNotNull(index)) return std::nullopt;
  const OGRFieldDefn* field = feature.GetFieldDefnRef(index);
  switch (field->GetType()) {
    case OFTInteger: return feature.GetFieldAsInteger(index);
    case OFTInteger64: {
      const GIntBig value = feature.GetFieldAsInteger64(index);
      if (value < INT_MIN || value > INT_MAX) return std::nullopt;
      return static_cast<int>(value);
    }
    default: return std::nullopt;
  }
}

}  // namespace

StateFeatureSchema::StateFeatureSchema() : definition_(new OGRFeatureDefn(kDefinitionName)) {
  definition_->Reference();
  definition_->SetGeomType(wkbNone);
  for (const FieldBinding& binding : kFields) {
    OGRFieldDefn field(binding.name, OFTInteger);
    definition_->AddFieldDefn(&field);
  }
  OGRFieldDefn stream(kFieldSpokeStream, OFTString);
  definition_->AddFieldDefn(&stream);
}

StateFeatureSchema::~StateFeatureSchema() { definition_->Release(); }

OGRFeature* StateFeatureSchema::NewFeature(const RadarState& state) const {
  auto* feature = new (std::nothrow) OGRFeature(definition_);
  if (!feature) return nullptr;
  feature->SetFID(0);
  for (int index = 0; index < static_cast<int>(std::size(kFields)); ++index) {
    feature->SetField(index, state.*kFields[index].value);
  }
  if (!state.spokeStream.empty()) feature->SetField(kSpokeStreamIndex, state.spokeStream.c_str());
  return feature;
}

StateRequest ReadStateRequest(const OGRFeature& feature) {
  StateRequest request;
  request.rangeIndex = ReadInteger(feature, kFieldRange);
  request.rangeUnit = ReadInteger(feature, kFieldRangeUnit);
  request.pulse = ReadInteger(feature, kFieldPulse);
  request.transmitState = ReadInteger(feature, kFieldTransmit);
  request.watchmanPeriod = ReadInteger(feature, kFieldWatchmanTime);
  request.gain = ReadInteger(feature, kFieldGain);
  request.sea = ReadInteger(feature, kFieldSea);
  request.rain = ReadInteger(feature, kFieldRain);
  request.tune = ReadInteger(feature, kFieldTune);
  return request;
}

}  // namespace radarsim

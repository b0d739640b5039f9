#pragma once
// Changes one field of the radar settings feature as a host's property panel does: fetches the feature,
// edits the copy and hands it back through the radar layer.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <type_traits>

#include "settings/field_access.h"
#include "settings/ograble.h"

template <typename Value>
void SetRadarFeatureField(OGRable& source, const char* name, Value value) {
  OGRLayer* layer = source.GetOGRLayer(0);
  ASSERT_NE(layer, nullptr);
  OGRFeature* feature = layer->GetFeature(0);
  ASSERT_NE(feature, nullptr);
  if constexpr (std::is_floating_point_v<Value>) {
    double real = value;
    EXPECT_TRUE(SetFieldDouble(feature, &real, name));
  } else {
    int integer = value;
    EXPECT_TRUE(SetFieldInteger(feature, &integer, name));
  }
  EXPECT_EQ(layer->SetFeature(feature), OGRERR_NONE);
  OGRFeature::DestroyFeature(feature);
}

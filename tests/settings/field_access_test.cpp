// Typed field access: exact type and value tests by name, none by index, untouched outputs on failure,
// no-value markers, references into a second feature, and the copy into a property bag.
#include <gtest/gtest.h>
#include <ogr_feature.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <string>

#include "common/no_value.h"
#include "host/vk_feature.h"
#include "settings/field_access.h"

namespace {

// A feature with one field of each kind the accessors know, plus a date field they do not.
class Fields : public ::testing::Test {
protected:
  Fields() : definition_(new OGRFeatureDefn("TEST")) {
    definition_->Reference();
    const std::pair<const char*, OGRFieldType> fields[] = {
        {"RAD_INT", OFTInteger}, {"RAD_REAL", OFTReal}, {"RAD_TEXT", OFTString}, {"RAD_DATE", OFTDate}};
    for (const auto& [name, type] : fields) {
      OGRFieldDefn field(name, type);
      definition_->AddFieldDefn(&field);
    }
    feature_ = OGRFeature::CreateFeature(definition_);
  }
  ~Fields() override {
    OGRFeature::DestroyFeature(feature_);
    definition_->Release();
  }

  OGRFeatureDefn* definition_;
  OGRFeature* feature_;
};

TEST(NoValue, MarkersHaveTheirExactValues) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(NoValueDouble), 0xC124585560000000u);
  EXPECT_EQ(NoValueDouble, -666666.6875);
  EXPECT_EQ(NoValueInteger, -666666);
  EXPECT_STREQ(NoValueText, "-666666.666666");
}

TEST_F(Fields, FieldInformationByNameAndByIndex) {
  int type = 99, index = 99;
  EXPECT_TRUE(GetFieldTypeAndIndex(feature_, "RAD_REAL", type, index));
  EXPECT_EQ(type, OFTReal);
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(GetFieldTypeAndIndex(feature_, "RAD_NONE", type, index));
  EXPECT_EQ(type, -1);
  EXPECT_EQ(index, -1);
  EXPECT_FALSE(GetFieldTypeAndIndex(nullptr, "RAD_REAL", type, index));

  CString name;
  EXPECT_TRUE(GetFieldTypeAndName(feature_, 2, type, name));
  EXPECT_EQ(type, OFTString);
  EXPECT_EQ(name.str(), "RAD_TEXT");
  for (int bad : {4, -1}) {
    EXPECT_FALSE(GetFieldTypeAndName(feature_, bad, type, name));
    EXPECT_EQ(type, -1);
    // Stored as Windows-1252 bytes.
    EXPECT_EQ(name.str(), "GetFieldTypeAndName \xE0 l\xE9g\xE8rement \xE9" "chou\xE9");
  }
}

TEST_F(Fields, FieldInfosFillOnlyTheOutputsGiven) {
  EXPECT_FALSE(GetFieldInfos(feature_, "RAD_INT", static_cast<int*>(nullptr), static_cast<int*>(nullptr)));
  int type = 99, index = 99;
  EXPECT_TRUE(GetFieldInfos(feature_, "RAD_TEXT", &type, nullptr));
  EXPECT_EQ(type, OFTString);
  EXPECT_FALSE(GetFieldInfos(feature_, "RAD_NONE", &type, &index));
  EXPECT_EQ(type, -1);
  EXPECT_EQ(index, -1);

  CString name = "before";
  EXPECT_FALSE(GetFieldInfos(feature_, 0, nullptr, static_cast<CString*>(nullptr)));
  EXPECT_TRUE(GetFieldInfos(feature_, 0, nullptr, &name));
  EXPECT_EQ(name.str(), "RAD_INT");
  EXPECT_FALSE(GetFieldInfos(feature_, 7, &type, &name));
  EXPECT_EQ(type, -1);
  EXPECT_EQ(name.str(), "GetFieldInfos failed");
}

TEST_F(Fields, ReadsByNameNeedTheExactTypeAndAValue) {
  double real = 1.5;
  int integer = 7;
  CString text = "kept";
  // Unset: no value by name.
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, "RAD_INT"));
  EXPECT_EQ(integer, 7);
  feature_->SetField(0, 42);
  feature_->SetField(1, 2.25);
  feature_->SetField(2, "12.5");
  // Other types are not converted.
  EXPECT_FALSE(GetFieldDouble(feature_, &real, "RAD_INT"));
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, "RAD_REAL"));
  EXPECT_FALSE(GetFieldString(feature_, &text, "RAD_INT"));
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, "RAD_DATE"));
  EXPECT_EQ(real, 1.5);
  EXPECT_EQ(integer, 7);
  EXPECT_EQ(text.str(), "kept");
  // Unknown names, a null name, a null feature, a null output.
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, "RAD_NONE"));
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, nullptr));
  EXPECT_FALSE(GetFieldInteger(nullptr, &integer, "RAD_INT"));
  EXPECT_FALSE(GetFieldInteger(feature_, nullptr, "RAD_INT"));
  EXPECT_EQ(integer, 7);

  EXPECT_TRUE(GetFieldInteger(feature_, &integer, "RAD_INT"));
  EXPECT_EQ(integer, 42);
  EXPECT_TRUE(GetFieldDouble(feature_, &real, "RAD_REAL"));
  EXPECT_EQ(real, 2.25);
  EXPECT_TRUE(GetFieldString(feature_, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "12.5");
  // A null is no value either.
  feature_->SetFieldNull(0);
  integer = 7;
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, "RAD_INT"));
  EXPECT_EQ(integer, 7);
}

TEST_F(Fields, ReadsByIndexTestNeitherTypeNorValueButStayInRange) {
  int integer = 7;
  EXPECT_TRUE(GetFieldInteger(feature_, &integer, nullptr, 0));
  EXPECT_EQ(integer, 0);  // OGR's answer for an unset field
  feature_->SetField(1, 3.75);
  EXPECT_TRUE(GetFieldInteger(feature_, &integer, "ignored", 1));
  EXPECT_EQ(integer, 3);
  integer = 7;
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, nullptr, 4));
  EXPECT_FALSE(GetFieldInteger(feature_, &integer, "RAD_INT", -2));
  EXPECT_EQ(integer, 7);
}

TEST_F(Fields, FlagsAreOneForTrueAndAnythingElseForFalse) {
  bool flag = true;
  feature_->SetField(0, 2);
  EXPECT_TRUE(GetFieldBool(feature_, &flag, "RAD_INT"));
  EXPECT_FALSE(flag);
  feature_->SetField(0, 1);
  EXPECT_TRUE(GetFieldBool(feature_, &flag, "RAD_INT"));
  EXPECT_TRUE(flag);
  EXPECT_FALSE(GetFieldBool(feature_, &flag, "RAD_REAL"));
  EXPECT_TRUE(flag);
  const bool off = false;
  EXPECT_TRUE(SetFieldBool(feature_, &off, "RAD_INT"));
  EXPECT_EQ(feature_->GetFieldAsInteger(0), 0);
  EXPECT_FALSE(SetFieldBool(feature_, nullptr, "RAD_INT"));
}

TEST_F(Fields, WritesByNameNeedTheExactTypeAndSetTheField) {
  const int integer = 5;
  const double real = 0.5;
  EXPECT_TRUE(SetFieldInteger(feature_, &integer, "RAD_INT"));
  EXPECT_TRUE(feature_->IsFieldSet(0));
  EXPECT_EQ(feature_->GetFieldAsInteger(0), 5);
  EXPECT_TRUE(SetFieldDouble(feature_, &real, "RAD_REAL"));
  EXPECT_TRUE(SetFieldString(feature_, "text", "RAD_TEXT"));
  EXPECT_STREQ(feature_->GetFieldAsString(2), "text");

  EXPECT_FALSE(SetFieldInteger(feature_, &integer, "RAD_REAL"));
  EXPECT_FALSE(SetFieldDouble(feature_, &real, "RAD_INT"));
  EXPECT_FALSE(SetFieldString(feature_, "x", "RAD_INT"));
  EXPECT_FALSE(SetFieldString(feature_, nullptr, "RAD_TEXT"));
  EXPECT_FALSE(SetFieldInteger(feature_, &integer, "RAD_NONE"));
  EXPECT_FALSE(SetFieldInteger(feature_, &integer, nullptr));
  EXPECT_FALSE(SetFieldInteger(feature_, nullptr, "RAD_INT"));
  EXPECT_FALSE(SetFieldInteger(nullptr, &integer, "RAD_INT"));
  EXPECT_FALSE(SetFieldInteger(feature_, &integer, nullptr, 9));
  EXPECT_EQ(feature_->GetFieldAsInteger(0), 5);
  EXPECT_EQ(feature_->GetFieldAsDouble(1), 0.5);
  EXPECT_STREQ(feature_->GetFieldAsString(2), "text");
  // By index the type is not looked at: OGR converts.
  EXPECT_TRUE(SetFieldInteger(feature_, &integer, nullptr, 1));
  EXPECT_EQ(feature_->GetFieldAsDouble(1), 5.0);
}

TEST_F(Fields, ReadersAtAnIndexLeaveTheMarkerWhenThereIsNoValue) {
  double real = 0.0;
  int integer = 0;
  CString text;
  EXPECT_FALSE(GetFieldDoubleAt(feature_, &real, 1));
  EXPECT_EQ(real, NoValueDouble);
  EXPECT_FALSE(GetFieldIntegerAt(feature_, &integer, 0));
  EXPECT_EQ(integer, NoValueInteger);
  EXPECT_FALSE(GetFieldStringAt(feature_, &text, 2));
  EXPECT_EQ(text.str(), NoValueText);
  EXPECT_FALSE(GetFieldIntegerAt(feature_, &integer, 17));
  EXPECT_FALSE(GetFieldIntegerAt(nullptr, &integer, 0));
  EXPECT_EQ(integer, NoValueInteger);
  feature_->SetField(0, 8);
  feature_->SetField(2, "3");
  EXPECT_TRUE(GetFieldIntegerAt(feature_, &integer, 0));
  EXPECT_EQ(integer, 8);
  EXPECT_TRUE(GetFieldDoubleAt(feature_, &real, 2));  // no type test
  EXPECT_EQ(real, 3.0);
}

TEST_F(Fields, ReferencesAreFollowedIntoTheReferencedFeature) {
  OGRFeature* referenced = feature_->Clone();
  referenced->SetField(0, 77);
  referenced->SetField(1, 7.5);
  referenced->SetField(2, "resolved");

  feature_->SetField(2, "@RAD_TEXT");
  CString text;
  EXPECT_TRUE(GetReferencedFieldString(feature_, referenced, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "resolved");
  feature_->SetField(2, "@RAD_MISSING");
  EXPECT_TRUE(GetReferencedFieldString(feature_, referenced, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "@RAD_MISSING");
  feature_->SetField(2, "plain");
  EXPECT_TRUE(GetReferencedFieldString(feature_, referenced, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "plain");

  double real = -1.0;
  int integer = -1;
  feature_->SetField(2, "@RAD_REAL");
  EXPECT_TRUE(GetReferencedFieldDouble(feature_, referenced, &real, "RAD_TEXT"));
  EXPECT_EQ(real, 7.5);
  feature_->SetField(2, "@RAD_INT");
  EXPECT_TRUE(GetReferencedFieldInteger(feature_, referenced, &integer, "RAD_TEXT"));
  EXPECT_EQ(integer, 77);
  // A plain number is not read; a missing feature or reference fails without touching the output.
  feature_->SetField(2, "12.5");
  real = -1.0;
  EXPECT_FALSE(GetReferencedFieldDouble(feature_, referenced, &real, "RAD_TEXT"));
  EXPECT_FALSE(GetReferencedFieldDouble(nullptr, referenced, &real, "RAD_TEXT"));
  feature_->SetField(2, "@RAD_INT");
  EXPECT_FALSE(GetReferencedFieldDouble(feature_, nullptr, &real, "RAD_TEXT"));
  EXPECT_EQ(real, -1.0);
  OGRFeature::DestroyFeature(referenced);
}

TEST_F(Fields, CopyIntoABagTakesTheValuedFieldsOfKnownTypesOnly) {
  VKFeature bag;
  bag.SetValue("OLD", 1L);
  CopyFieldsToVKFeature(nullptr, bag);
  EXPECT_TRUE(bag.HasValue("OLD"));

  feature_->SetField(0, 4);
  feature_->SetField(1, 0.25);
  feature_->SetField(2, "abc");
  feature_->SetField(3, 2024, 5, 1);
  CopyFieldsToVKFeature(feature_, bag);
  EXPECT_EQ(bag.GetFieldCount(), 3);
  long integer = 0;
  double real = 0.0;
  std::string text;
  EXPECT_TRUE(bag.GetValue("RAD_INT", integer));
  EXPECT_EQ(integer, 4);
  EXPECT_TRUE(bag.GetValue("RAD_REAL", real));
  EXPECT_EQ(real, 0.25);
  EXPECT_TRUE(bag.GetValue("RAD_TEXT", text));
  EXPECT_EQ(text, "abc");
  EXPECT_FALSE(bag.HasValue("OLD"));

  feature_->UnsetField(1);
  CopyFieldsToVKFeature(feature_, bag);
  EXPECT_FALSE(bag.HasValue("RAD_REAL"));
}

}  // namespace

// Typed field access: exact type and value tests by name, none by index, untouched outputs on failure,
// no-value markers, references into a second feature, and the copy into a property bag.
#include <gtest/gtest.h>
#include <ogr_feature.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <string>

#include "host/vk_feature.h"
#include "settings/field_access.h"
#include "settings/no_value.h"

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
    feature = OGRFeature::CreateFeature(definition_);
  }
  ~Fields() override {
    OGRFeature::DestroyFeature(feature);
    definition_->Release();
  }

  OGRFeatureDefn* definition_;
  OGRFeature* feature;
};

TEST(NoValue, MarkersHaveTheirExactValues) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(NoValueDouble), 0xC124585560000000u);
  EXPECT_EQ(NoValueDouble, -666666.6875);
  EXPECT_EQ(NoValueInteger, -666666);
  EXPECT_STREQ(NoValueText, "-666666.666666");
}

TEST_F(Fields, FieldInformationByNameAndByIndex) {
  int type = 99, index = 99;
  EXPECT_TRUE(GetFieldTypeAndIndex(feature, "RAD_REAL", type, index));
  EXPECT_EQ(type, OFTReal);
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(GetFieldTypeAndIndex(feature, "RAD_NONE", type, index));
  EXPECT_EQ(type, -1);
  EXPECT_EQ(index, -1);
  EXPECT_FALSE(GetFieldTypeAndIndex(nullptr, "RAD_REAL", type, index));

  CString name;
  EXPECT_TRUE(GetFieldTypeAndName(feature, 2, type, name));
  EXPECT_EQ(type, OFTString);
  EXPECT_EQ(name.str(), "RAD_TEXT");
  for (int bad : {4, -1}) {
    EXPECT_FALSE(GetFieldTypeAndName(feature, bad, type, name));
    EXPECT_EQ(type, -1);
    // Stored as Windows-1252 bytes.
    EXPECT_EQ(name.str(), "GetFieldTypeAndName \xE0 l\xE9g\xE8rement \xE9" "chou\xE9");
  }
}

TEST_F(Fields, FieldInfosFillOnlyTheOutputsGiven) {
  EXPECT_FALSE(GetFieldInfos(feature, "RAD_INT", static_cast<int*>(nullptr), static_cast<int*>(nullptr)));
  int type = 99, index = 99;
  EXPECT_TRUE(GetFieldInfos(feature, "RAD_TEXT", &type, nullptr));
  EXPECT_EQ(type, OFTString);
  EXPECT_FALSE(GetFieldInfos(feature, "RAD_NONE", &type, &index));
  EXPECT_EQ(type, -1);
  EXPECT_EQ(index, -1);

  CString name = "before";
  EXPECT_FALSE(GetFieldInfos(feature, 0, nullptr, static_cast<CString*>(nullptr)));
  EXPECT_TRUE(GetFieldInfos(feature, 0, nullptr, &name));
  EXPECT_EQ(name.str(), "RAD_INT");
  EXPECT_FALSE(GetFieldInfos(feature, 7, &type, &name));
  EXPECT_EQ(type, -1);
  EXPECT_EQ(name.str(), "GetFieldInfos failed");
}

TEST_F(Fields, ReadsByNameNeedTheExactTypeAndAValue) {
  double real = 1.5;
  int integer = 7;
  CString text = "kept";
  // Unset: no value by name.
  EXPECT_FALSE(GetFieldInteger(feature, &integer, "RAD_INT"));
  EXPECT_EQ(integer, 7);
  feature->SetField(0, 42);
  feature->SetField(1, 2.25);
  feature->SetField(2, "12.5");
  // Other types are not converted.
  EXPECT_FALSE(GetFieldDouble(feature, &real, "RAD_INT"));
  EXPECT_FALSE(GetFieldInteger(feature, &integer, "RAD_REAL"));
  EXPECT_FALSE(GetFieldString(feature, &text, "RAD_INT"));
  EXPECT_FALSE(GetFieldInteger(feature, &integer, "RAD_DATE"));
  EXPECT_EQ(real, 1.5);
  EXPECT_EQ(integer, 7);
  EXPECT_EQ(text.str(), "kept");
  // Unknown names, a null name, a null feature, a null output.
  EXPECT_FALSE(GetFieldInteger(feature, &integer, "RAD_NONE"));
  EXPECT_FALSE(GetFieldInteger(feature, &integer, nullptr));
  EXPECT_FALSE(GetFieldInteger(nullptr, &integer, "RAD_INT"));
  EXPECT_FALSE(GetFieldInteger(feature, nullptr, "RAD_INT"));
  EXPECT_EQ(integer, 7);

  EXPECT_TRUE(GetFieldInteger(feature, &integer, "RAD_INT"));
  EXPECT_EQ(integer, 42);
  EXPECT_TRUE(GetFieldDouble(feature, &real, "RAD_REAL"));
  EXPECT_EQ(real, 2.25);
  EXPECT_TRUE(GetFieldString(feature, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "12.5");
  // A null is no value either.
  feature->SetFieldNull(0);
  integer = 7;
  EXPECT_FALSE(GetFieldInteger(feature, &integer, "RAD_INT"));
  EXPECT_EQ(integer, 7);
}

TEST_F(Fields, ReadsByIndexTestNeitherTypeNorValueButStayInRange) {
  int integer = 7;
  EXPECT_TRUE(GetFieldInteger(feature, &integer, nullptr, 0));
  EXPECT_EQ(integer, 0);  // OGR's answer for an unset field
  feature->SetField(1, 3.75);
  EXPECT_TRUE(GetFieldInteger(feature, &integer, "ignored", 1));
  EXPECT_EQ(integer, 3);
  integer = 7;
  EXPECT_FALSE(GetFieldInteger(feature, &integer, nullptr, 4));
  EXPECT_FALSE(GetFieldInteger(feature, &integer, "RAD_INT", -2));
  EXPECT_EQ(integer, 7);
}

TEST_F(Fields, FlagsAreOneForTrueAndAnythingElseForFalse) {
  bool flag = true;
  feature->SetField(0, 2);
  EXPECT_TRUE(GetFieldBool(feature, &flag, "RAD_INT"));
  EXPECT_FALSE(flag);
  feature->SetField(0, 1);
  EXPECT_TRUE(GetFieldBool(feature, &flag, "RAD_INT"));
  EXPECT_TRUE(flag);
  EXPECT_FALSE(GetFieldBool(feature, &flag, "RAD_REAL"));
  EXPECT_TRUE(flag);
  const bool off = false;
  EXPECT_TRUE(SetFieldBool(feature, &off, "RAD_INT"));
  EXPECT_EQ(feature->GetFieldAsInteger(0), 0);
  EXPECT_FALSE(SetFieldBool(feature, nullptr, "RAD_INT"));
}

TEST_F(Fields, WritesByNameNeedTheExactTypeAndSetTheField) {
  const int integer = 5;
  const double real = 0.5;
  EXPECT_TRUE(SetFieldInteger(feature, &integer, "RAD_INT"));
  EXPECT_TRUE(feature->IsFieldSet(0));
  EXPECT_EQ(feature->GetFieldAsInteger(0), 5);
  EXPECT_TRUE(SetFieldDouble(feature, &real, "RAD_REAL"));
  EXPECT_TRUE(SetFieldString(feature, "text", "RAD_TEXT"));
  EXPECT_STREQ(feature->GetFieldAsString(2), "text");

  EXPECT_FALSE(SetFieldInteger(feature, &integer, "RAD_REAL"));
  EXPECT_FALSE(SetFieldDouble(feature, &real, "RAD_INT"));
  EXPECT_FALSE(SetFieldString(feature, "x", "RAD_INT"));
  EXPECT_FALSE(SetFieldString(feature, nullptr, "RAD_TEXT"));
  EXPECT_FALSE(SetFieldInteger(feature, &integer, "RAD_NONE"));
  EXPECT_FALSE(SetFieldInteger(feature, &integer, nullptr));
  EXPECT_FALSE(SetFieldInteger(feature, nullptr, "RAD_INT"));
  EXPECT_FALSE(SetFieldInteger(nullptr, &integer, "RAD_INT"));
  EXPECT_FALSE(SetFieldInteger(feature, &integer, nullptr, 9));
  EXPECT_EQ(feature->GetFieldAsInteger(0), 5);
  EXPECT_EQ(feature->GetFieldAsDouble(1), 0.5);
  EXPECT_STREQ(feature->GetFieldAsString(2), "text");
  // By index the type is not looked at: OGR converts.
  EXPECT_TRUE(SetFieldInteger(feature, &integer, nullptr, 1));
  EXPECT_EQ(feature->GetFieldAsDouble(1), 5.0);
}

TEST_F(Fields, ReadersAtAnIndexLeaveTheMarkerWhenThereIsNoValue) {
  double real = 0.0;
  int integer = 0;
  CString text;
  EXPECT_FALSE(GetFieldDoubleAt(feature, &real, 1));
  EXPECT_EQ(real, NoValueDouble);
  EXPECT_FALSE(GetFieldIntegerAt(feature, &integer, 0));
  EXPECT_EQ(integer, NoValueInteger);
  EXPECT_FALSE(GetFieldStringAt(feature, &text, 2));
  EXPECT_EQ(text.str(), NoValueText);
  EXPECT_FALSE(GetFieldIntegerAt(feature, &integer, 17));
  EXPECT_FALSE(GetFieldIntegerAt(nullptr, &integer, 0));
  EXPECT_EQ(integer, NoValueInteger);
  feature->SetField(0, 8);
  feature->SetField(2, "3");
  EXPECT_TRUE(GetFieldIntegerAt(feature, &integer, 0));
  EXPECT_EQ(integer, 8);
  EXPECT_TRUE(GetFieldDoubleAt(feature, &real, 2));  // no type test
  EXPECT_EQ(real, 3.0);
}

TEST_F(Fields, ReferencesAreFollowedIntoTheReferencedFeature) {
  OGRFeature* referenced = feature->Clone();
  referenced->SetField(0, 77);
  referenced->SetField(1, 7.5);
  referenced->SetField(2, "resolved");

  feature->SetField(2, "@RAD_TEXT");
  CString text;
  EXPECT_TRUE(GetReferencedFieldString(feature, referenced, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "resolved");
  feature->SetField(2, "@RAD_MISSING");
  EXPECT_TRUE(GetReferencedFieldString(feature, referenced, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "@RAD_MISSING");
  feature->SetField(2, "plain");
  EXPECT_TRUE(GetReferencedFieldString(feature, referenced, &text, "RAD_TEXT"));
  EXPECT_EQ(text.str(), "plain");

  double real = -1.0;
  int integer = -1;
  feature->SetField(2, "@RAD_REAL");
  EXPECT_TRUE(GetReferencedFieldDouble(feature, referenced, &real, "RAD_TEXT"));
  EXPECT_EQ(real, 7.5);
  feature->SetField(2, "@RAD_INT");
  EXPECT_TRUE(GetReferencedFieldInteger(feature, referenced, &integer, "RAD_TEXT"));
  EXPECT_EQ(integer, 77);
  // A plain number is not read; a missing feature or reference fails without touching the output.
  feature->SetField(2, "12.5");
  real = -1.0;
  EXPECT_FALSE(GetReferencedFieldDouble(feature, referenced, &real, "RAD_TEXT"));
  EXPECT_FALSE(GetReferencedFieldDouble(nullptr, referenced, &real, "RAD_TEXT"));
  feature->SetField(2, "@RAD_INT");
  EXPECT_FALSE(GetReferencedFieldDouble(feature, nullptr, &real, "RAD_TEXT"));
  EXPECT_EQ(real, -1.0);
  OGRFeature::DestroyFeature(referenced);
}

TEST_F(Fields, CopyIntoABagTakesTheValuedFieldsOfKnownTypesOnly) {
  VKFeature bag;
  bag.SetValue("OLD", 1L);
  CopyFieldsToVKFeature(nullptr, bag);
  EXPECT_TRUE(bag.HasValue("OLD"));

  feature->SetField(0, 4);
  feature->SetField(1, 0.25);
  feature->SetField(2, "abc");
  feature->SetField(3, 2024, 5, 1);
  CopyFieldsToVKFeature(feature, bag);
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

  feature->UnsetField(1);
  CopyFieldsToVKFeature(feature, bag);
  EXPECT_FALSE(bag.HasValue("RAD_REAL"));
}

}  // namespace

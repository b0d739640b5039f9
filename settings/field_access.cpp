#include "settings/field_access.h"

#include <ogr_feature.h>

#include "common/no_value.h"
#include "host/vk_feature.h"

namespace {

// Failure texts left in the name output. The first is Windows-1252 text: "à légèrement échoué".
constexpr const char* kTypeAndNameFailed = "GetFieldTypeAndName \xE0 l\xE9g\xE8rement \xE9" "chou\xE9";
constexpr const char* kFieldInfosFailed = "GetFieldInfos failed";

constexpr int kByName = -1;

bool IsFieldIndex(const OGRFeature& feature, int index) { return index >= 0 && index < feature.GetFieldCount(); }

// A field holds a value when it is set and not null (OGR's null stands for "no value" as well).
bool HoldsValue(const OGRFeature& feature, int index) { return feature.IsFieldSetAndNotNull(index); }

// The index to work on: by name, the field of that name with exactly the `required` type (and, for
// reads, a value); otherwise `index` itself when it is a field of the feature. -1 when none.
int ResolveField(OGRFeature& feature, const char* name, int index, OGRFieldType required, bool needsValue) {
  if (index != kByName) return IsFieldIndex(feature, index) ? index : -1;
  if (!name) return -1;
  int type = -1;
  int found = -1;
  if (!GetFieldTypeAndIndex(&feature, name, type, found) || type != required) return -1;
  if (needsValue && !HoldsValue(feature, found)) return -1;
  return found;
}

template <typename Value, typename Read>
bool ReadField(OGRFeature* feature, Value* value, const char* name, int index, OGRFieldType required, Read read) {
  if (!feature || !value) return false;
  const int field = ResolveField(*feature, name, index, required, true);
  if (field < 0) return false;
  *value = read(*feature, field);
  return true;
}

template <typename Value>
bool WriteField(OGRFeature* feature, const Value& value, const char* name, int index, OGRFieldType required) {
  if (!feature) return false;
  const int field = ResolveField(*feature, name, index, required, false);
  if (field < 0) return false;
  feature->SetField(field, value);
  return true;
}

// Readers by index that start from the no-value marker.
template <typename Value, typename Marker, typename Read>
bool ReadFieldAt(OGRFeature* feature, Value* value, int index, const Marker& marker, Read read) {
  if (!value) return false;
  *value = marker;
  if (!feature || !IsFieldIndex(*feature, index) || !HoldsValue(*feature, index)) return false;
  *value = read(*feature, index);
  return true;
}

double ReadDouble(OGRFeature& feature, int field) { return feature.GetFieldAsDouble(field); }
int ReadInteger(OGRFeature& feature, int field) { return feature.GetFieldAsInteger(field); }
CString ReadString(OGRFeature& feature, int field) { return CString(feature.GetFieldAsString(field)); }

// The field name a reference text points to, or null when the text is no reference.
const char* ReferencedName(const CString& text) {
  return (!text.IsEmpty() && text.GetAt(0) == '@') ? text.GetString() + 1 : nullptr;
}

}  // namespace

bool GetFieldTypeAndIndex(OGRFeature* feature, const char* name, int& type, int& index) {
  type = -1;
  index = -1;
  if (!feature || !name) return false;
  const OGRFeatureDefn* definition = feature->GetDefnRef();
  if (!definition) return false;
  const int found = definition->GetFieldIndex(name);
  if (found == -1) return false;
  const OGRFieldDefn* field = definition->GetFieldDefn(found);
  if (!field) return false;
  type = field->GetType();
  index = found;
  return true;
}

bool GetFieldTypeAndName(OGRFeature* feature, int index, int& type, CString& name) {
  type = -1;
  name = kTypeAndNameFailed;
  if (!feature || index < 0) return false;
  const OGRFeatureDefn* definition = feature->GetDefnRef();
  if (!definition || index >= definition->GetFieldCount()) return false;
  const OGRFieldDefn* field = definition->GetFieldDefn(index);
  if (!field) return false;
  type = field->GetType();
  name = field->GetNameRef();
  return true;
}

bool GetFieldInfos(OGRFeature* feature, const char* name, int* type, int* index) {
  if (!type && !index) return false;
  if (type) *type = -1;
  if (index) *index = -1;
  int foundType = -1;
  int foundIndex = -1;
  if (!GetFieldTypeAndIndex(feature, name, foundType, foundIndex)) return false;
  if (type) *type = foundType;
  if (index) *index = foundIndex;
  return true;
}

bool GetFieldInfos(OGRFeature* feature, int index, int* type, CString* name) {
  if (!type && !name) return false;
  if (type) *type = -1;
  if (name) *name = kFieldInfosFailed;
  int foundType = -1;
  CString foundName;
  if (!GetFieldTypeAndName(feature, index, foundType, foundName)) return false;
  if (type) *type = foundType;
  if (name) *name = foundName;
  return true;
}

bool GetFieldDouble(OGRFeature* feature, double* value, const char* name, int index) {
  return ReadField(feature, value, name, index, OFTReal, ReadDouble);
}

bool GetFieldInteger(OGRFeature* feature, int* value, const char* name, int index) {
  return ReadField(feature, value, name, index, OFTInteger, ReadInteger);
}

bool GetFieldString(OGRFeature* feature, CString* value, const char* name, int index) {
  return ReadField(feature, value, name, index, OFTString, ReadString);
}

bool GetFieldBool(OGRFeature* feature, bool* value, const char* name, int index) {
  if (!value) return false;
  int stored = 0;
  if (!GetFieldInteger(feature, &stored, name, index)) return false;
  *value = stored == 1;
  return true;
}

bool SetFieldDouble(OGRFeature* feature, const double* value, const char* name, int index) {
  if (!value) return false;
  const double copy = *value;
  return WriteField(feature, copy, name, index, OFTReal);
}

bool SetFieldInteger(OGRFeature* feature, const int* value, const char* name, int index) {
  if (!value) return false;
  const int copy = *value;
  return WriteField(feature, copy, name, index, OFTInteger);
}

bool SetFieldString(OGRFeature* feature, const char* value, const char* name, int index) {
  if (!value) return false;
  return WriteField(feature, value, name, index, OFTString);
}

bool SetFieldBool(OGRFeature* feature, const bool* value, const char* name, int index) {
  if (!value) return false;
  const int flag = *value ? 1 : 0;
  return SetFieldInteger(feature, &flag, name, index);
}

bool GetFieldDoubleAt(OGRFeature* feature, double* value, int index) {
  return ReadFieldAt(feature, value, index, NoValueDouble, ReadDouble);
}

bool GetFieldIntegerAt(OGRFeature* feature, int* value, int index) {
  return ReadFieldAt(feature, value, index, NoValueInteger, ReadInteger);
}

bool GetFieldStringAt(OGRFeature* feature, CString* value, int index) {
  return ReadFieldAt(feature, value, index, CString(NoValueText), ReadString);
}

bool GetReferencedFieldString(OGRFeature* feature, OGRFeature* referenced, CString* value, const char* name) {
  if (!feature || !value) return false;
  if (!GetFieldString(feature, value, name)) return false;
  if (const char* target = ReferencedName(*value)) {
    CString resolved;
    if (GetFieldString(referenced, &resolved, target)) *value = resolved;
  }
  return true;
}

bool GetReferencedFieldDouble(OGRFeature* feature, OGRFeature* referenced, double* value, const char* name) {
  CString text;
  if (!feature || !GetFieldString(feature, &text, name)) return false;
  const char* target = ReferencedName(text);
  return target && GetFieldDouble(referenced, value, target);
}

bool GetReferencedFieldInteger(OGRFeature* feature, OGRFeature* referenced, int* value, const char* name) {
  CString text;
  if (!feature || !GetFieldString(feature, &text, name)) return false;
  const char* target = ReferencedName(text);
  return target && GetFieldInteger(referenced, value, target);
}

void CopyFieldsToVKFeature(OGRFeature* feature, VKFeature& bag) {
  if (!feature) return;
  bag.DeleteFields();
  for (int i = 0; i < feature->GetFieldCount(); ++i) {
    const OGRFieldDefn* field = feature->GetFieldDefnRef(i);
    if (!field) continue;
    const char* name = field->GetNameRef();
    switch (field->GetType()) {
      case OFTInteger: {
        int value = 0;
        if (GetFieldInteger(feature, &value, name)) bag.SetValue(name, static_cast<long>(value));
        break;
      }
      case OFTReal: {
        double value = 0.0;
        if (GetFieldDouble(feature, &value, name)) bag.SetValue(name, value);
        break;
      }
      case OFTString: {
        CString value;
        if (GetFieldString(feature, &value, name)) bag.SetValue(name, value.GetString());
        break;
      }
      default:
        break;
    }
  }
}

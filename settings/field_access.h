#pragma once
// Typed access to the fields of OGR features. A field is addressed by name (index -1) or directly by
// index. By name, the field's type must be exactly the accessor's (Integer, Real or String) and a read
// also needs the field to hold a value; by index there is no type or value test. Every call answers
// success as a bool, accepts a null feature, and leaves its output untouched when it fails.
#include "afxstr.h"

class OGRFeature;
class VKFeature;

// Field information. Type codes are OGR's (OFTInteger 0, OFTReal 2, OFTString 4); -1 when not found.
bool GetFieldTypeAndIndex(OGRFeature* feature, const char* name, int& type, int& index);
// On failure `name` holds a failure text, not a field name.
bool GetFieldTypeAndName(OGRFeature* feature, int index, int& type, CString& name);
// Either output may be null, not both.
bool GetFieldInfos(OGRFeature* feature, const char* name, int* type, int* index);
bool GetFieldInfos(OGRFeature* feature, int index, int* type, CString* name);

// Typed reads and writes. A flag is the Integer 1 (true) or 0; any other stored integer reads as false.
bool GetFieldDouble(OGRFeature* feature, double* value, const char* name, int index = -1);
bool GetFieldInteger(OGRFeature* feature, int* value, const char* name, int index = -1);
bool GetFieldString(OGRFeature* feature, CString* value, const char* name, int index = -1);
bool GetFieldBool(OGRFeature* feature, bool* value, const char* name, int index = -1);
bool SetFieldDouble(OGRFeature* feature, const double* value, const char* name, int index = -1);
bool SetFieldInteger(OGRFeature* feature, const int* value, const char* name, int index = -1);
bool SetFieldString(OGRFeature* feature, const char* value, const char* name, int index = -1);
bool SetFieldBool(OGRFeature* feature, const bool* value, const char* name, int index = -1);

// Reads by index that put the no-value marker of their type into the output first, so that a field
// without a value reads as the marker.
bool GetFieldDoubleAt(OGRFeature* feature, double* value, int index);
bool GetFieldIntegerAt(OGRFeature* feature, int* value, int index);
bool GetFieldStringAt(OGRFeature* feature, CString* value, int index);

// A String field may hold "@" and a field name: the value is then that field of `referenced`.
// The text reader answers the reference text itself when the referenced field cannot be read; the
// number readers read only through a reference.
bool GetReferencedFieldString(OGRFeature* feature, OGRFeature* referenced, CString* value, const char* name);
bool GetReferencedFieldDouble(OGRFeature* feature, OGRFeature* referenced, double* value, const char* name);
bool GetReferencedFieldInteger(OGRFeature* feature, OGRFeature* referenced, int* value, const char* name);

// Replaces the bag's content with the feature's Integer, Real and String fields that hold a value.
void CopyFieldsToVKFeature(OGRFeature* feature, VKFeature& bag);

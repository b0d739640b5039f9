#pragma once
// Typed access to the host application's profile, through the module's application object, and the
// two counted list formats stored in it. Without an application object every read fails (answers
// false, output at its default) and every write does nothing.
#include <vector>

#include "afxstr.h"
#include "common/layer_keys.h"

// Defaults handed to the profile so that a missing entry can be told apart from a stored one.
inline constexpr int ProfileMissingInt = -32768;
inline constexpr const char* ProfileMissingText = "No Found String In The Registry";

bool ProfileWriteString(const char* section, const char* key, const char* text);
bool ProfileReadString(const char* section, const char* key, CString& out, const char* defaultText);
void ProfileWriteInt(const char* section, const char* key, int value);
bool ProfileReadInt(const char* section, const char* key, int& out, int defaultValue);
void ProfileWriteBool(const char* section, const char* key, bool value);
bool ProfileReadBool(const char* section, const char* key, bool& out, bool defaultValue);
// Reals are stored as "%lf" text.
bool ProfileWriteDouble(const char* section, const char* key, double value);
bool ProfileReadDouble(const char* section, const char* key, double& out, double defaultValue);

// "NbOpenedFiles" and "File0", "File1", ...
void ProfileWriteStringList(const char* section, const std::vector<CString>& texts);
std::vector<CString> ProfileReadStringList(const char* section);
// "NbLayer" and "Layer0", "Layer1", ... holding "module?item".
void ProfileWriteKeyList(const char* section, ModuleLayerKeyList& keys);
ModuleLayerKeyList ProfileReadKeyList(const char* section);

#include "common/profile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <locale.h>

#include "mfc/afxwin.h"

namespace {

constexpr const char* kFileCountKey = "NbOpenedFiles";
constexpr const char* kFileKeyPrefix = "File";
constexpr const char* kLayerCountKey = "NbLayer";
constexpr const char* kLayerKeyPrefix = "Layer";

// Counts and entry numbers are 16-bit: no list holds more entries than this.
constexpr int kMaxListEntries = INT16_MAX;

CWinApp* Application() { return AfxGetModuleState()->m_pCurrentWinApp; }

// Reals are stored with a decimal point whatever number locale the host runs in, so that a profile
// written under one locale reads back the same under another.
class ClassicNumbers {
public:
  ClassicNumbers() : classic_(newlocale(LC_NUMERIC_MASK, "C", nullptr)) {
    if (classic_) previous_ = uselocale(classic_);
  }
  ~ClassicNumbers() {
    if (!classic_) return;
    uselocale(previous_);
    freelocale(classic_);
  }
  ClassicNumbers(const ClassicNumbers&) = delete;
  ClassicNumbers& operator=(const ClassicNumbers&) = delete;

private:
  locale_t classic_;
  locale_t previous_ = nullptr;
};

CString EntryKey(const char* prefix, int position) {
  CString key;
  key.Format("%s%d", prefix, position);
  return key;
}

// The number of entries a stored count allows reading: none for a missing or negative count, and never
// more than a 16-bit count can name, whatever a foreign writer stored.
int ReadableEntryCount(const char* section, const char* countKey) {
  CWinApp* app = Application();
  if (!app) return 0;
  const int count = static_cast<int>(app->GetProfileInt(section, countKey, ProfileMissingInt));
  if (count == ProfileMissingInt || count <= 0) return 0;
  return std::min(count, kMaxListEntries);
}

int StorableEntryCount(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, static_cast<std::size_t>(kMaxListEntries)));
}

}  // namespace

bool ProfileWriteString(const char* section, const char* key, const char* text) {
  CWinApp* app = Application();
  return app && app->WriteProfileString(section, key, text);
}

bool ProfileReadString(const char* section, const char* key, CString& out, const char* defaultText) {
  CWinApp* app = Application();
  if (!app) return false;
  out = app->GetProfileString(section, key, ProfileMissingText);
  if (out.Compare(ProfileMissingText) != 0) return true;
  out = defaultText;
  return false;
}

void ProfileWriteInt(const char* section, const char* key, int value) {
  if (CWinApp* app = Application()) app->WriteProfileInt(section, key, value);
}

bool ProfileReadInt(const char* section, const char* key, int& out, int defaultValue) {
  out = defaultValue;
  CWinApp* app = Application();
  if (!app) return false;
  const int value = static_cast<int>(app->GetProfileInt(section, key, ProfileMissingInt));
  if (value == ProfileMissingInt) return false;
  out = value;
  return true;
}

void ProfileWriteBool(const char* section, const char* key, bool value) {
  ProfileWriteInt(section, key, value ? 1 : 0);
}

bool ProfileReadBool(const char* section, const char* key, bool& out, bool defaultValue) {
  int value = 0;
  const bool found = ProfileReadInt(section, key, value, 0);
  out = found ? value != 0 : defaultValue;
  return found;
}

bool ProfileWriteDouble(const char* section, const char* key, double value) {
  char text[512];
  {
    const ClassicNumbers classic;
    std::snprintf(text, sizeof text, "%lf", value);
  }
  return ProfileWriteString(section, key, text);
}

namespace {
bool ParseReal(const char* text, double& value) {
  const ClassicNumbers classic;
  return std::sscanf(text, "%lf", &value) == 1;
}
}  // namespace

bool ProfileReadDouble(const char* section, const char* key, double& out, double defaultValue) {
  CString text;
  double parsed = 0.0;
  // A stored text that is no number is a failure like a missing one: the default applies.
  if (!ProfileReadString(section, key, text, "") || !ParseReal(text, parsed)) {
    out = defaultValue;
    return false;
  }
  out = parsed;
  return true;
}

void ProfileWriteStringList(const char* section, const std::vector<CString>& texts) {
  const int count = StorableEntryCount(texts.size());
  ProfileWriteInt(section, kFileCountKey, count);
  for (int i = 0; i < count; ++i) ProfileWriteString(section, EntryKey(kFileKeyPrefix, i), texts[i]);
}

std::vector<CString> ProfileReadStringList(const char* section) {
  std::vector<CString> texts;
  const int count = ReadableEntryCount(section, kFileCountKey);
  for (int i = 0; i < count; ++i) {
    CString text;
    if (ProfileReadString(section, EntryKey(kFileKeyPrefix, i), text, "") && !text.IsEmpty())
      texts.push_back(text);
  }
  return texts;
}

void ProfileWriteKeyList(const char* section, ModuleLayerKeyList& keys) {
  const int count = StorableEntryCount(static_cast<std::size_t>(keys.Count()));
  ProfileWriteInt(section, kLayerCountKey, count);
  if (count == 0) return;
  keys.Rewind();
  ModuleLayerKey key;
  for (int position = 0; position < count && keys.Next(key); ++position) {
    CString text;
    text.Format("%s%s%s", key.GetModule().GetString(), "?", key.GetItem().GetString());
    ProfileWriteString(section, EntryKey(kLayerKeyPrefix, position), text);
  }
}

ModuleLayerKeyList ProfileReadKeyList(const char* section) {
  ModuleLayerKeyList keys;
  const int count = ReadableEntryCount(section, kLayerCountKey);
  for (int i = 0; i < count; ++i) {
    CString text;
    ModuleLayerKey key;
    if (ProfileReadString(section, EntryKey(kLayerKeyPrefix, i), text, "") && FromText(text, key)) keys.Add(key);
  }
  return keys;
}

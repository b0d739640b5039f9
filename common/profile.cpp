#include "common/profile.h"

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <string>
#include <string_view>
#include <vector>

#include "afxwin.h"
#include "winreg.h"

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

// The entry number that `name` carries when it is `prefix` followed by a number as the lists write it
// (decimal, no sign, no leading zero) below the 16-bit limit; else -1. Case is ignored, as the profile
// ignores it.
int EntryNumberOf(std::string_view name, const char* prefix) {
  const std::size_t length = std::strlen(prefix);
  constexpr std::size_t kMaxDigits = 5;
  if (name.size() <= length || name.size() > length + kMaxDigits) return -1;
  if (strncasecmp(name.data(), prefix, length) != 0) return -1;
  const std::string_view digits = name.substr(length);
  if (digits.find_first_not_of("0123456789") != std::string_view::npos) return -1;
  if (digits.size() > 1 && digits.front() == '0') return -1;
  int number = 0;
  for (char digit : digits) number = number * 10 + (digit - '0');
  return number < kMaxListEntries ? number : -1;
}

// One more than the highest entry number that `section` holds: reading entries beyond it would find
// none. The full 16-bit range when the section's names cannot be listed.
int EntryNumberBound(CWinApp& app, const char* section, const char* prefix) {
  HKEY key = app.GetSectionKey(section);
  if (!key) return kMaxListEntries;
  int bound = 0;
  std::vector<char> name(64);
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(name.size());
    const LONG result = RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) {
      name.resize(length + 1);
      continue;
    }
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) {
      bound = kMaxListEntries;
      break;
    }
    bound = std::max(bound, EntryNumberOf(std::string_view(name.data(), length), prefix) + 1);
    ++index;
  }
  RegCloseKey(key);
  return bound;
}

// The number of entries a stored count allows reading: none for a missing or negative count, never more
// than a 16-bit count can name, whatever a foreign writer stored, and none past the last entry the
// section holds, so that a huge count costs no more than the entries that are there.
int ReadableEntryCount(const char* section, const char* countKey, const char* prefix) {
  CWinApp* app = Application();
  if (!app) return 0;
  const int count = static_cast<int>(app->GetProfileInt(section, countKey, ProfileMissingInt));
  if (count == ProfileMissingInt || count <= 0) return 0;
  return std::min({count, kMaxListEntries, EntryNumberBound(*app, section, prefix)});
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
  const int count = ReadableEntryCount(section, kFileCountKey, kFileKeyPrefix);
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
  const int count = ReadableEntryCount(section, kLayerCountKey, kLayerKeyPrefix);
  for (int i = 0; i < count; ++i) {
    CString text;
    ModuleLayerKey key;
    if (ProfileReadString(section, EntryKey(kLayerKeyPrefix, i), text, "") && FromText(text, key)) keys.Add(key);
  }
  return keys;
}

#include "installed_fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <mutex>
#include <string_view>

namespace Gdiplus {

namespace {

// Whether `family` is among the families asked for, or among those the font configuration binds to
// them (metric-compatible substitutes); the weakly bound defaults appended for any name do not count,
// so that a font found only as a fallback does not make a name installed.
bool AskedFor(FcPattern* asked, const std::string& family) {
  FcPatternIter iter;
  FcPatternIterStart(asked, &iter);
  do {
    const char* object = FcPatternIterGetObject(asked, &iter);
    if (object == nullptr || std::string_view(object) != FC_FAMILY) continue;
    for (int i = 0; i < FcPatternIterValueCount(asked, &iter); ++i) {
      FcValue value;
      FcValueBinding binding = FcValueBindingWeak;
      if (FcPatternIterGetValue(asked, &iter, i, &value, &binding) != FcResultMatch) continue;
      if (binding != FcValueBindingWeak && value.type == FcTypeString &&
          FcStrCmpIgnoreCase(value.u.s, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
        return true;
    }
  } while (FcPatternIterNext(asked, &iter));
  return false;
}

// Design metrics of the face in `file`: the line spacing is the font's ascender, descender and line
// gap together.
bool ReadMetrics(const char* file, int index, InstalledFamily& family) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face = nullptr;
  bool read = false;
  if (FT_New_Face(library, file, index, &face) == 0) {
    if (face->units_per_EM > 0) {
      family.unitsPerEm = face->units_per_EM;
      family.ascent = face->ascender;
      family.lineSpacing = face->height;
      read = true;
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return read;
}

std::optional<InstalledFamily> Resolve(const std::string& name) {
  FcPattern* asked = FcNameParse(reinterpret_cast<const FcChar8*>(""));
  if (asked == nullptr) return std::nullopt;
  FcPatternAddString(asked, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcConfigSubstitute(nullptr, asked, FcMatchPattern);
  FcDefaultSubstitute(asked);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, asked, &result);
  std::optional<InstalledFamily> found;
  FcChar8* family = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
      FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    InstalledFamily installed;
    installed.name = reinterpret_cast<const char*>(family);
    if (AskedFor(asked, installed.name) &&
        ReadMetrics(reinterpret_cast<const char*>(file), index, installed))
      found = installed;
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(asked);
  return found;
}

}  // namespace

std::optional<InstalledFamily> FindInstalledFamily(const std::string& name) {
  // The installed fonts do not change while the process runs; each name is resolved once.
  static std::mutex mutex;
  static std::map<std::string, std::optional<InstalledFamily>> resolved;
  std::lock_guard lock(mutex);
  auto known = resolved.find(name);
  if (known == resolved.end()) known = resolved.emplace(name, Resolve(name)).first;
  return known->second;
}

}  // namespace Gdiplus

// Whatever the host's profile file holds, read back through the module's profile helpers and the radar
// settings it restores: counts out of range, lists with holes, keys without separator, reals that do
// not parse, lines that are not INI at all. Lists must come back clean (no empty entry, keys sorted and
// unique), every read must be repeatable, and what the module writes back must read back unchanged.
#include <ogr_feature.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "afxwin.h"
#include "common/profile.h"
#include "extensions/mfc.h"
#include "scratch_folder.h"
#include "settings/radar_settings_fields.h"

namespace {

constexpr const char* kDataSection = "ModuleData\\RadarData";
constexpr const char* kDisplaySection = "ModuleDisplay\\RadarDisplay_0";
constexpr const char* kCopySection = "FuzzCopy";

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "profile: %s\n", what);
  std::abort();
}

// The host's profile, replaced by each input.
class FuzzedProfile {
public:
  FuzzedProfile() : path_(folder_.File("profile.ini")), next_(folder_.File("next.ini")) {
    AfxSetHostProfilePath(path_.c_str());
  }
  // A new file renamed over the old one: the store sees the change whatever the clock's resolution.
  void Replace(const std::uint8_t* data, std::size_t size) const {
    std::ofstream(next_, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (std::rename(next_.c_str(), path_.c_str()) != 0) Fail("cannot replace the profile");
  }

private:
  FuzzScratchFolder folder_;
  std::string path_;
  std::string next_;
};

void CheckKeyList(const ModuleLayerKeyList& keys) {
  const std::vector<ModuleLayerKey>& all = keys.Keys();
  for (std::size_t i = 1; i < all.size(); ++i)
    if (!(all[i - 1] < all[i])) Fail("key list not sorted and unique");
}

bool SameKeys(const ModuleLayerKeyList& a, const ModuleLayerKeyList& b) {
  if (a.Count() != b.Count()) return false;
  for (std::size_t i = 0; i < a.Keys().size(); ++i)
    if (!(a.Keys()[i] == b.Keys()[i])) return false;
  return true;
}

void ReadSettings(OGRFeatureDefn* definition) {
  OGRFeature* feature = OGRFeature::CreateFeature(definition);
  LoadModuleSettings(feature);
  OGRFeature::DestroyFeature(feature);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzedProfile profile;
  static CWinApp app;
  static OGRFeatureDefn* definition = [] {
    auto* made = new OGRFeatureDefn("RADAR_STATE");
    made->Reference();
    AppendModuleFields(*made);
    return made;
  }();
  profile.Replace(data, size);

  const std::vector<CString> files = ProfileReadStringList(kDataSection);
  for (const CString& file : files)
    if (file.IsEmpty()) Fail("empty entry in the file list");
  if (files != ProfileReadStringList(kDataSection)) Fail("file list reads differently twice");

  ModuleLayerKeyList layers = ProfileReadKeyList(kDisplaySection);
  CheckKeyList(layers);

  int number = 0;
  ProfileReadInt(kDataSection, "TRAIL_TIME", number, 15);
  bool visible = true;
  ProfileReadBool(kDisplaySection, "Visible", visible, true);
  double shift = 0.0;
  ProfileReadDouble(kDataSection, "VK_SHIFT_DIST", shift, 0.0);
  ReadSettings(definition);

  // What the module writes comes back as written.
  ProfileWriteKeyList(kCopySection, layers);
  if (!SameKeys(ProfileReadKeyList(kCopySection), layers)) Fail("key list does not read back");
  ProfileWriteStringList(kCopySection, files);
  if (ProfileReadStringList(kCopySection) != files) Fail("file list does not read back");
  return 0;
}

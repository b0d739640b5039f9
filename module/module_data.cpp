#include "module/module_data.h"

#include <algorithm>

#include "afxwin.h"
#include "common/profile.h"
#include "display/module_display.h"
#include "winreg.h"

namespace {

// The extension as the runtime's path splitter gives it: from the last "." of the file name part,
// with the dot; empty when the file name has none. A path without any "." at all gives the whole
// path behind a ".".
CString PathExtension(const CString& path) {
  if (path.Find('.') < 0) return "." + path;
  const int lastSeparator = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
  const int lastDot = path.ReverseFind('.');
  return lastDot > lastSeparator ? path.Mid(lastDot) : CString();
}

// Deletes one profile section key (and the sections below it).
void DeleteSectionKey(CWinApp* app, const CString& section) {
  if (HKEY key = app->GetSectionKey(section)) {
    RegDeleteKeyA(key, "");
    RegCloseKey(key);
  }
}

constexpr int kClearedDisplaySections = 6;

}  // namespace

ModuleData::~ModuleData() { DetachAll(); }

bool ModuleData::IsReady() { return true; }

void ModuleData::Terminate() {}

void ModuleData::SaveOpenedFiles() {
  ProfileWriteStringList(GetProfileSections().dataSection, GetOpenedFiles());
}

void ModuleData::RestoreOpenedFiles() {
  const std::vector<CString> files = ProfileReadStringList(GetProfileSections().dataSection);
  OpenFiles(files, true);
}

void ModuleData::ClearProfile() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  const ProfileSections sections = GetProfileSections();
  DeleteSectionKey(app, sections.dataSection);
  if (sections.displaySection.IsEmpty()) return;
  for (int display = 0; display < kClearedDisplaySections; ++display) {
    CString section;
    section.Format("%s_%d", sections.displaySection.GetString(), display);
    DeleteSectionKey(app, section);
  }
}

FileOpenReport ModuleData::OpenFiles(const std::vector<CString>& /*paths*/, bool /*restoring*/) { return {}; }

bool ModuleData::ShowLayers(const ModuleLayerKeyList& layers) {
  ModuleLayerKeyList source(layers);
  ModuleLayerKeyList ownLayers;
  ModuleLayerKeyList::SelectModule(GetName(), source, ownLayers);
  if (ownLayers.Count() == 0) return true;
  for (ModuleDisplay* display : AttachedDisplays()) {
    if (!display) continue;
    ModuleLayerKeyList hidden;
    display->GetHiddenLayers(hidden);
    hidden.RemoveAll(ownLayers);
    display->SetHiddenLayers(hidden);
  }
  return true;
}

void ModuleData::Refresh() {}

void ModuleData::NotifyDisplays(void* /*unused*/) {
  for (ModuleDisplay* display : AttachedDisplays())
    if (display) display->Reserved();
}

bool ModuleData::IsFileSupported(const CString& path) {
  const CString extension = PathExtension(path);
  for (const FileTypeDescriptor& type : GetFileTypes())
    for (const CString& candidate : type.extensions)
      if (extension.CompareNoCase("." + candidate) == 0) return true;
  return false;
}

std::vector<CString> ModuleData::GetOpenedFiles() { return {}; }

ModuleLayerKeyList ModuleData::GetLayers() { return {}; }

ModuleLayerKeyList ModuleData::GetExtraLayers() { return {}; }

std::vector<ModuleDisplay*> ModuleData::AttachedDisplays() const {
  std::vector<ModuleDisplay*> displays;
  displays.reserve(Observers().size());
  // Only display modules attach to a data module.
  for (Observer<ModuleNotification>* observer : Observers())
    displays.push_back(static_cast<ModuleDisplay*>(observer));
  return displays;
}

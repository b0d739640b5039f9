#include "display/module_display.h"

#include "common/profile.h"
#include "module/module_data.h"

namespace {
constexpr const char* kVisibleKey = "Visible";
}

ModuleDisplay::ModuleDisplay(ModuleData* dataModule) : Observer<ModuleNotification>(dataModule) {}

ModuleDisplay::~ModuleDisplay() = default;

CString ModuleDisplay::DisplaySection(std::int16_t displayIndex) {
  ModuleData* dataModule = GetDataModule();
  if (!dataModule) return {};
  const CString stem = dataModule->GetProfileSections().displaySection;
  if (stem.IsEmpty()) return {};
  CString section;
  section.Format("%s_%d", stem.GetString(), static_cast<int>(displayIndex));
  return section;
}

void ModuleDisplay::SaveSettings(std::int16_t displayIndex) {
  const CString section = DisplaySection(displayIndex);
  if (section.IsEmpty()) return;
  ProfileWriteKeyList(section, hiddenLayers);
  ProfileWriteBool(section, kVisibleKey, visible == 1);
}

void ModuleDisplay::LoadSettings(std::int16_t displayIndex) {
  const CString section = DisplaySection(displayIndex);
  if (section.IsEmpty()) return;
  hiddenLayers.Assign(ProfileReadKeyList(section));
  bool shown = true;
  ProfileReadBool(section, kVisibleKey, shown, true);
  visible = shown ? 1 : 0;
}

void ModuleDisplay::CopySettingsFrom(const ModuleDisplayList& displays) {
  ModuleDisplay* source = displays.FindByName(GetName());
  if (!source) return;
  visible = source->IsVisible();
  ModuleLayerKeyList layers;
  source->GetHiddenLayers(layers);
  hiddenLayers.Assign(layers);
}

void ModuleDisplay::Reserved() {}

void ModuleDisplay::SetVisible(const std::uint8_t* visibleFlag) {
  if (visibleFlag) visible = *visibleFlag;
}

std::uint8_t ModuleDisplay::IsVisible() { return visible; }

void ModuleDisplay::GetHiddenLayers(ModuleLayerKeyList& layers) { layers.Assign(hiddenLayers); }

void ModuleDisplay::SetHiddenLayers(const ModuleLayerKeyList& layers) { hiddenLayers.Assign(layers); }

bool ModuleDisplay::IsLayerVisible(ModuleLayerKey key) { return !hiddenLayers.Contains(key); }

std::int16_t ModuleDisplay::PollRedraw() { return 0; }

CString ModuleDisplay::GetName() {
  ModuleData* dataModule = GetDataModule();
  return dataModule ? dataModule->GetName() : CString();
}

ModuleDisplay* ModuleDisplayList::FindByName(const CString& name) const {
  for (ModuleDisplay* display : *this)
    if (display && display->GetName() == name) return display;
  return nullptr;
}

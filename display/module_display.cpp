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
  ProfileWriteKeyList(section, hiddenLayers_);
  ProfileWriteBool(section, kVisibleKey, visible_ == 1);
}

void ModuleDisplay::LoadSettings(std::int16_t displayIndex) {
  const CString section = DisplaySection(displayIndex);
  if (section.IsEmpty()) return;
  hiddenLayers_.Assign(ProfileReadKeyList(section));
  bool shown = true;
  ProfileReadBool(section, kVisibleKey, shown, true);
  visible_ = shown ? 1 : 0;
}

void ModuleDisplay::CopySettingsFrom(const ModuleDisplayList& displays) {
  ModuleDisplay* source = displays.FindByName(GetName());
  if (!source) return;
  visible_ = source->IsVisible();
  ModuleLayerKeyList layers;
  source->GetHiddenLayers(layers);
  hiddenLayers_.Assign(layers);
}

void ModuleDisplay::Reserved() {}

void ModuleDisplay::SetVisible(const std::uint8_t* visibleFlag) {
  if (visibleFlag) visible_ = *visibleFlag;
}

std::uint8_t ModuleDisplay::IsVisible() { return visible_; }

void ModuleDisplay::GetHiddenLayers(ModuleLayerKeyList& layers) { layers.Assign(hiddenLayers_); }

void ModuleDisplay::SetHiddenLayers(const ModuleLayerKeyList& layers) { hiddenLayers_.Assign(layers); }

bool ModuleDisplay::IsLayerVisible(ModuleLayerKey key) { return !hiddenLayers_.Contains(key); }

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

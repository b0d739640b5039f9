#pragma once
// The contract every display module honours towards the host: visibility, hidden layers, their
// storage in the host profile per display, and the poll the host calls between repaints.
#include <cstdint>
#include <vector>

#include "afxstr.h"
#include "common/layer_keys.h"
#include "common/observer.h"

class ModuleData;
class ModuleDisplayList;

class ModuleDisplay : public Observer<ModuleNotification> {
public:
  // Attaches the display to `dataModule`'s observers (when given); the hidden-layer list starts empty.
  explicit ModuleDisplay(ModuleData* dataModule);

  virtual ModuleData* GetDataModule() = 0;
  virtual ~ModuleDisplay();
  // Store and restore visibility and hidden layers in the display's profile section.
  virtual void SaveSettings(std::int16_t displayIndex);
  virtual void LoadSettings(std::int16_t displayIndex);
  // Takes visibility and hidden layers from the first listed display of the same name.
  virtual void CopySettingsFrom(const ModuleDisplayList& displays);
  virtual void Reserved();
  virtual void SetVisible(const std::uint8_t* visibleFlag);
  virtual std::uint8_t IsVisible();
  virtual void GetHiddenLayers(ModuleLayerKeyList& layers);
  virtual void SetHiddenLayers(const ModuleLayerKeyList& layers);
  virtual bool IsLayerVisible(ModuleLayerKey key);
  // Non-zero when the view must be repainted.
  virtual std::int16_t PollRedraw();

  // The owning data module's name; empty without data module.
  CString GetName();

protected:
  // The profile section of display `displayIndex`, or an empty text when there is none.
  CString DisplaySection(std::int16_t displayIndex);

  std::uint8_t visible_ = 0;
  ModuleLayerKeyList hiddenLayers_;
};

// The displays of one view. It does not own them.
class ModuleDisplayList : public std::vector<ModuleDisplay*> {
public:
  virtual ~ModuleDisplayList() = default;
  // The first display whose name equals `name` exactly, or null.
  ModuleDisplay* FindByName(const CString& name) const;
};

// Something the host draws into a chart view.
class ChartView;
class VKFeature;
class Drawable {
public:
  virtual bool Draw(ChartView* view, int reserved, VKFeature* displayProperties, int reserved2) = 0;

protected:
  ~Drawable() = default;
};

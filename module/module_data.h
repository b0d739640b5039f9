#pragma once
// The data module: what a plug-in module hands the host. The host learns its name, layers and profile
// sections through it, creates display modules from it and drives it through these operations.
#include <vector>

#include "afxstr.h"
#include "common/layer_keys.h"
#include "common/observer.h"
#include "host/file_records.h"

class ModuleDisplay;

// The two profile sections a module uses: its own, and the stem of its displays' sections.
struct ProfileSections {
  CString dataSection;
  CString displaySection;
};

class ModuleData : public Subject<ModuleNotification> {
public:
  ModuleData() = default;
  ModuleData(const ModuleData&) = delete;
  ModuleData& operator=(const ModuleData&) = delete;

  virtual ModuleDisplay* CreateDisplay() = 0;
  virtual std::vector<FileTypeDescriptor> GetFileTypes() = 0;
  virtual const CString& GetName() = 0;
  virtual ProfileSections GetProfileSections() = 0;
  virtual ~ModuleData();
  virtual bool IsReady();
  virtual void Terminate();
  virtual void SaveOpenedFiles();
  virtual void RestoreOpenedFiles();
  virtual void ClearProfile();
  virtual FileOpenReport OpenFiles(const std::vector<CString>& paths, bool restoring);
  // Shows the given layers of this module in every attached display. Always true.
  virtual bool ShowLayers(const ModuleLayerKeyList& layers);
  virtual void Refresh();
  virtual void NotifyDisplays(void* unused);
  virtual bool IsFileSupported(const CString& path);
  virtual std::vector<CString> GetOpenedFiles();
  virtual ModuleLayerKeyList GetLayers();
  virtual ModuleLayerKeyList GetExtraLayers();

  // The attached displays, in attach order.
  std::vector<ModuleDisplay*> AttachedDisplays() const;
};

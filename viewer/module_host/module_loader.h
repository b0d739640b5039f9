#pragma once
// How the host loads a plug-in module: open its file, find "CreateModuleData" by name, call it.
#include <memory>
#include <string>

class ModuleData;

class LoadedModule {
public:
  // Opens the module file; on failure IsLoaded() is false and Error() says why.
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool IsLoaded() const { return handle_ != nullptr && create_ != nullptr; }
  const std::string& Error() const { return error_; }
  // A new data module from the module's factory, or null.
  ModuleData* CreateModuleData() const;

private:
  using CreateFunction = ModuleData* (*)();
  void* handle_ = nullptr;
  CreateFunction create_ = nullptr;
  std::string error_;
};

// The radar module's file in the host's folder.
std::string DefaultRadarModulePath();

#include "viewer/module_host/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

LoadedModule::LoadedModule(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    error_ = reason ? reason : "cannot open " + path;
    return;
  }
  create_ = reinterpret_cast<CreateFunction>(dlsym(handle_, "CreateModuleData"));
  if (!create_) error_ = path + " does not export CreateModuleData";
}

// The module stays mapped: objects it created may outlive this holder, as a host never unloads modules
// it still uses.
LoadedModule::~LoadedModule() = default;

ModuleData* LoadedModule::CreateModuleData() const { return create_ ? create_() : nullptr; }

std::string DefaultRadarModulePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "libsorvik_radar.so";
  std::string path(buffer, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1) + "libsorvik_radar.so";
}

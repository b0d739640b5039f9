#pragma once
// The modules LoadLibrary opened and FreeLibrary has not yet released: what a module handle stands for.
// Internal to this library.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "windef.h"

// What a handle refers to, copied out of the registry.
struct ModuleRecord {
  std::string path;
  // The dlopen handle; null for a data file.
  void* code = nullptr;
  bool dataFile = false;
  // A data file's resource table as read from its file; valid until the module is released.
  std::span<const unsigned char> resources;
};

namespace module_registry {
// A library opened for its code: its handle is the dlopen handle. Opening it again counts a reference.
HMODULE AddCode(void* code, const std::string& path);
// A library opened as a data file, with the resource table read from its file when it has one. Each
// opening gets a handle of its own, tagged in its lowest bit.
HMODULE AddDataFile(const std::string& path, std::optional<std::vector<unsigned char>> resources);
// The record of a live handle; nothing for an unknown or released one.
std::optional<ModuleRecord> Find(HMODULE module);
// Drops one reference. Nothing for an unknown handle; otherwise the record, and in `wasLast` whether the
// module is now gone (a data file's resources are then released, its record's span is empty).
std::optional<ModuleRecord> Release(HMODULE module, bool& wasLast);
// The live code module whose path is `path`, or, when `bareName`, whose file name equals `path` with
// letter case ignored; null when none.
HMODULE FindCodeModule(const std::string& path, bool bareName);
// References held on a live handle; 0 for an unknown one.
DWORD ReferenceCount(HMODULE module);
// The program's own handle, which stands for the executable.
HMODULE MainProgram();
}  // namespace module_registry

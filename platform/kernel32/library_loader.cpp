#include "winbase.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "elf_image.h"
#include "extensions/kernel32.h"
#include "extensions/resource_table.h"
#include "module_registry.h"
#include "own_symbol.h"
#include "windows_path.h"

namespace {

// Dependencies of dependencies are followed this deep at most; real libraries stay far below.
constexpr int kMaxDependencyDepth = 16;

std::string ExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// Where a bare file name is found: the executable's folder, then the current folder. Empty when in
// neither (the system loader's own search is then left to try).
std::string FindBareName(const std::string& name) {
  const std::string besideExecutable = FolderOf(ExecutablePath()) + name;
  if (IsRegularFile(besideExecutable)) return besideExecutable;
  const std::string inCurrentFolder = ToNativePath(("./" + name).c_str());
  if (IsRegularFile(inCurrentFolder)) return inCurrentFolder;
  return {};
}

// Loads, from `folder`, the libraries that `path` needs and that are not loaded yet, dependencies
// first, so that the system loader takes these copies when it resolves `path`. The handles opened are
// appended to `opened`; the caller closes them once `path` is loaded (which then holds them itself).
void PreloadDependencies(const std::string& path, const std::string& folder, int depth,
                         std::set<std::string>& visited, std::vector<void*>& opened) {
  if (depth > kMaxDependencyDepth || folder.empty()) return;
  ElfImage::OpenStatus status;
  const auto image = ElfImage::Open(path, status);
  if (!image) return;
  for (const std::string& name : image->NeededLibraries()) {
    if (name.find('/') != std::string::npos || !visited.insert(name).second) continue;
    if (void* loaded = ::dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD)) {
      ::dlclose(loaded);  // already in the process: Windows, too, takes the loaded one
      continue;
    }
    const std::string candidate = folder + name;
    if (!IsRegularFile(candidate)) continue;
    PreloadDependencies(candidate, folder, depth + 1, visited, opened);
    if (void* dependency = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) opened.push_back(dependency);
  }
}

DWORD ErrorOfFailedLoad(const std::string& path, const char* reason) {
  ElfImage::OpenStatus status;
  if (!ElfImage::Open(path, status)) {
    if (status == ElfImage::OpenStatus::kNotElf) return ERROR_BAD_EXE_FORMAT;
    return IsRegularFile(path) || std::filesystem::exists(path) ? ERROR_ACCESS_DENIED : ERROR_MOD_NOT_FOUND;
  }
  const std::string text = reason ? reason : "";
  if (text.find("undefined symbol") != std::string::npos) return ERROR_PROC_NOT_FOUND;
  if (text.find("ELF") != std::string::npos) return ERROR_BAD_EXE_FORMAT;
  return ERROR_MOD_NOT_FOUND;
}

HMODULE LoadCode(const std::string& path, bool alteredSearchPath) {
  std::vector<void*> dependencies;
  std::set<std::string> visited;
  const std::string searchFolder = alteredSearchPath ? FolderOf(path) : FolderOf(ExecutablePath());
  PreloadDependencies(path, searchFolder, 0, visited, dependencies);
  void* code = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* reason = code ? nullptr : ::dlerror();
  const DWORD error = code ? ERROR_SUCCESS : ErrorOfFailedLoad(path, reason);
  for (void* dependency : dependencies) ::dlclose(dependency);
  if (!code) {
    SetLastError(error);
    return nullptr;
  }
  return module_registry::AddCode(code, path);
}

HMODULE LoadBareNameThroughSystem(const std::string& name) {
  void* code = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!code) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  const std::string loadedFrom = LoadedFileOf(code);
  const std::string path = loadedFrom.empty() ? name : loadedFrom;
  return module_registry::AddCode(code, path);
}

HMODULE LoadDataFile(const std::string& path) {
  ElfImage::OpenStatus status;
  const auto image = ElfImage::Open(path, status);
  if (!image) {
    if (status == ElfImage::OpenStatus::kNotElf) SetLastError(ERROR_BAD_EXE_FORMAT);
    else SetLastError(std::filesystem::exists(path) ? ERROR_ACCESS_DENIED : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return module_registry::AddDataFile(path, image->ExportedSymbolBytes(resource_table::kSymbolName));
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  std::string name;
  if (!module || module == module_registry::MainProgram()) {
    name = ExecutablePath();
  } else if (const auto record = module_registry::Find(module)) {
    name = record->path;
  } else {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (name.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (name.size() < size) {
    std::memcpy(fileName, name.c_str(), name.size() + 1);
    return static_cast<DWORD>(name.size());
  }
  std::memcpy(fileName, name.data(), size - 1);
  fileName[size - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
  constexpr DWORD kKnownFlags = LOAD_LIBRARY_AS_DATAFILE | LOAD_WITH_ALTERED_SEARCH_PATH;
  if (!fileName || !*fileName || file || (flags & ~kKnownFlags) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string path = ToNativePath(fileName);
  const bool bareName = !HasFolderPart(fileName);
  if (bareName) {
    const std::string found = FindBareName(path);
    if (found.empty()) {
      if (flags & LOAD_LIBRARY_AS_DATAFILE) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
      }
      return LoadBareNameThroughSystem(path);
    }
    path = found;
  }
  if (flags & LOAD_LIBRARY_AS_DATAFILE) return LoadDataFile(path);
  if (!std::filesystem::exists(path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadCode(path, (flags & LOAD_WITH_ALTERED_SEARCH_PATH) != 0);
}

HMODULE LoadLibraryA(LPCSTR fileName) { return LoadLibraryExA(fileName, nullptr, 0); }

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  // Windows accepts ordinals, small numbers in place of a name; a library here exports names only.
  if (reinterpret_cast<std::uintptr_t>(procName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* code = nullptr;
  if (!module || module == module_registry::MainProgram()) {
    code = module_registry::MainProgram();
  } else if (const auto record = module_registry::Find(module); record && !record->dataFile) {
    code = record->code;
  }
  if (!code) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const bool program = code == module_registry::MainProgram();
  void* symbol = program ? ::dlsym(code, procName) : FindOwnSymbol(code, procName);
  if (!symbol) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  bool wasLast = false;
  const auto record = module_registry::Release(module, wasLast);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // Every LoadLibrary of a code module holds one reference of the system loader too.
  if (record->code) ::dlclose(record->code);
  return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR fileName) {
  if (!fileName) return module_registry::MainProgram();
  const bool bareName = !HasFolderPart(fileName);
  const HMODULE module = module_registry::FindCodeModule(ToNativePath(fileName), bareName);
  if (!module) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

DWORD GetModuleLoadCount(HMODULE module) { return module_registry::ReferenceCount(module); }

#include "module_registry.h"

#include <dlfcn.h>
#include <strings.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Entry {
  std::string path;
  void* code = nullptr;
  std::optional<std::vector<unsigned char>> resources;
  DWORD references = 1;
};

struct Registry {
  std::mutex mutex;
  std::map<HMODULE, std::unique_ptr<Entry>> entries;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

constexpr std::uintptr_t kDataFileTag = 1;

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

ModuleRecord RecordOf(const Entry& entry) {
  ModuleRecord record{entry.path, entry.code, entry.code == nullptr, {}};
  if (entry.resources) record.resources = *entry.resources;
  return record;
}

}  // namespace

namespace module_registry {

HMODULE AddCode(void* code, const std::string& path) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  const auto handle = static_cast<HMODULE>(code);
  auto& entry = registry.entries[handle];
  if (entry) {
    ++entry->references;
  } else {
    entry = std::make_unique<Entry>();
    entry->path = path;
    entry->code = code;
  }
  return handle;
}

HMODULE AddDataFile(const std::string& path, std::optional<std::vector<unsigned char>> resources) {
  auto entry = std::make_unique<Entry>();
  entry->path = path;
  entry->resources = std::move(resources);
  // The entry's address is at least 8-aligned, so the tag bit is free and a data-file handle can
  // never equal a dlopen handle.
  const auto handle = reinterpret_cast<HMODULE>(reinterpret_cast<std::uintptr_t>(entry.get()) | kDataFileTag);
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  registry.entries[handle] = std::move(entry);
  return handle;
}

std::optional<ModuleRecord> Find(HMODULE module) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  const auto found = registry.entries.find(module);
  if (found == registry.entries.end()) return std::nullopt;
  return RecordOf(*found->second);
}

std::optional<ModuleRecord> Release(HMODULE module, bool& wasLast) {
  wasLast = false;
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  const auto found = registry.entries.find(module);
  if (found == registry.entries.end()) return std::nullopt;
  Entry& entry = *found->second;
  ModuleRecord record{entry.path, entry.code, entry.code == nullptr, {}};
  if (--entry.references == 0) {
    wasLast = true;
    registry.entries.erase(found);
  }
  return record;
}

HMODULE FindCodeModule(const std::string& path, bool bareName) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  for (const auto& [handle, entry] : registry.entries) {
    if (!entry->code) continue;
    if (!bareName ? entry->path == path : ::strcasecmp(FileNameOf(entry->path).c_str(), path.c_str()) == 0)
      return handle;
  }
  return nullptr;
}

DWORD ReferenceCount(HMODULE module) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  const auto found = registry.entries.find(module);
  return found == registry.entries.end() ? 0 : found->second->references;
}

HMODULE MainProgram() {
  static void* const program = ::dlopen(nullptr, RTLD_LAZY);
  return static_cast<HMODULE>(program);
}

}  // namespace module_registry

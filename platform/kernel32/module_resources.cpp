#include "extensions/kernel32.h"

#include <span>

#include "extensions/resource_table.h"
#include "module_registry.h"
#include "own_symbol.h"

namespace {

// The resource table of a live module: read from the file for a data file, in memory otherwise.
std::span<const unsigned char> ResourceTableOf(const ModuleRecord& record) {
  if (record.dataFile) return record.resources;
  std::size_t size = 0;
  const void* table = FindOwnSymbol(record.code, resource_table::kSymbolName, &size);
  if (!table) return {};
  return std::span(static_cast<const unsigned char*>(table), size);
}

}  // namespace

bool FindStringResource(HMODULE module, UINT id, std::string_view& text) {
  if (!module || module == module_registry::MainProgram()) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return false;
  }
  const auto record = module_registry::Find(module);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const std::span<const unsigned char> table = ResourceTableOf(*record);
  if (!resource_table::DeclaredSize(table)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return false;
  }
  const auto found = resource_table::FindString(table, id);
  if (!found) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return false;
  }
  text = *found;
  return true;
}

#include "own_symbol.h"

#include <dlfcn.h>
#include <link.h>

void* FindOwnSymbol(void* code, const char* name, std::size_t* size) {
  link_map* library = nullptr;
  if (!code || !name || ::dlinfo(code, RTLD_DI_LINKMAP, &library) != 0 || !library) return nullptr;
  void* symbol = ::dlsym(code, name);
  if (!symbol) return nullptr;
  Dl_info info{};
  link_map* owner = nullptr;
  if (!::dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) || owner != library)
    return nullptr;
  if (size) {
    void* entry = nullptr;
    *size = ::dladdr1(symbol, &info, &entry, RTLD_DL_SYMENT) && entry
                ? static_cast<std::size_t>(static_cast<const ElfW(Sym)*>(entry)->st_size)
                : 0;
  }
  return symbol;
}

std::string LoadedFileOf(void* code) {
  link_map* library = nullptr;
  if (!code || ::dlinfo(code, RTLD_DI_LINKMAP, &library) != 0 || !library || !library->l_name) return {};
  return library->l_name;
}

// The module's one exported function: the host finds it by name and calls it to get the data module.
#include <new>

#include "module/module_data_sorvik.h"

extern "C" __attribute__((visibility("default"))) ModuleData* CreateModuleData() {
  return new (std::nothrow) ModuleDataSorvik();
}

#include "module/resource_library.h"

#include "afxwin.h"
#include "module/host_folder.h"
#include "winbase.h"
#include "winuser.h"

namespace {
constexpr char kResourceLibraryFile[] = "ResourceDLL.dll";
// The module name is read into a buffer of this size for the resource library.
constexpr DWORD kModuleNameLength = 256;
}  // namespace

ResourceLibraryScope::ResourceLibraryScope() {
  const CString path = GetHostExecutableFolder(kModuleNameLength) + kResourceLibraryFile;
  library_ = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!library_) MessageBoxA(nullptr, "Cannot load ResourceDLL.DLL", "Error", MB_OK | MB_ICONERROR);
  previousResources_ = AfxGetResourceHandle();
  AfxSetResourceHandle(library_);
}

ResourceLibraryScope::~ResourceLibraryScope() {
  AfxSetResourceHandle(previousResources_);
  if (library_) FreeLibrary(library_);
}

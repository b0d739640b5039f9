#pragma once
// The host's resource library ("ResourceDLL.dll", beside the host executable), opened for its strings
// while a label or message is being built.
#include "windef.h"

// Opens the resource library as a data file and makes it the current resource source of the module
// state, so that CString::LoadString reads from it; puts the previous resource source back and closes
// the library when it goes out of scope. When the library cannot be opened the user is told ("Cannot
// load ResourceDLL.DLL") and the resource source is null for the scope: every string then loads empty.
class ResourceLibraryScope {
public:
  ResourceLibraryScope();
  ~ResourceLibraryScope();
  ResourceLibraryScope(const ResourceLibraryScope&) = delete;
  ResourceLibraryScope& operator=(const ResourceLibraryScope&) = delete;

  bool IsOpen() const { return library_ != nullptr; }

private:
  HINSTANCE library_ = nullptr;
  HINSTANCE previousResources_ = nullptr;
};

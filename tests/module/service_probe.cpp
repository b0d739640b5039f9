// A host program for the loading tests: asks the module's accessors for one service twice and reports
// on standard output what happened. Message boxes are reported there too, then written to standard error
// as usual. A missing library ends this program from inside the accessor.
#include <cstdio>
#include <cstring>
#include <string>

#include "afxstr.h"
#include "afxwin.h"
#include "extensions/kernel32.h"
#include "extensions/user32.h"
#include "module/resource_library.h"
#include "module/service_libraries.h"

namespace {

std::string Escaped(const char* text) {
  std::string escaped;
  for (const char* p = text; *p; ++p) {
    if (*p == '\r') escaped += "\\r";
    else if (*p == '\n') escaped += "\\n";
    else escaped += *p;
  }
  return escaped;
}

int ReportBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::printf("box owner=%s type=%u caption=[%s] text=[%s]\n", owner ? "window" : "none", type, caption,
              Escaped(text).c_str());
  std::fflush(stdout);
  return PresentMessageBoxOnStandardError(owner, text, caption, type);
}

int EntryCalls(const char* library, const char* counter) {
  const auto count = reinterpret_cast<int (*)()>(GetProcAddress(GetModuleHandleA(library), counter));
  return count ? count() : -1;
}

template <typename Accessor>
int ReportTwoCalls(Accessor accessor, const char* library, const char* counter) {
  const void* first = accessor();
  const void* second = accessor();
  std::printf("same=%d entry_calls=%d loads=%u\n", first == second && first != nullptr,
              EntryCalls(library, counter), GetModuleLoadCount(GetModuleHandleA(library)));
  return 0;
}

int ReportResourceString() {
  {
    ResourceLibraryScope resources;
    CString word;
    const BOOL loaded = word.LoadString(17);
    std::printf("open=%d loaded=%d text=[%s]\n", resources.IsOpen(), loaded, word.GetString());
  }
  std::printf("handle_restored=%d\n", AfxGetResourceHandle() == nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SetMessageBoxPresenter(&ReportBox);
  const std::string service = argc > 1 ? argv[1] : "";
  if (service == "radar") return ReportTwoCalls(&GetSorVikService, "VKSorVik.dll", "FakeRadarEntryCallCount");
  if (service == "ui") return ReportTwoCalls(&GetUserInterfaceService, "VelIHM.dll", "VelIHMEntryCallCount");
  if (service == "converter")
    return ReportTwoCalls(&GetConverterService, "Converter.dll", "ConverterEntryCallCount");
  if (service == "resources") return ReportResourceString();
  std::fprintf(stderr, "usage: service_probe radar|ui|converter|resources\n");
  return 2;
}

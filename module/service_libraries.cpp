#include "module/service_libraries.h"

#include "afxwin.h"
#include "host/converter_api.h"
#include "host/radar_service.h"
#include "host/velihm_api.h"
#include "module/host_folder.h"
#include "winbase.h"
#include "winuser.h"

namespace {

// Set by the first successful load and kept until the process ends; the libraries stay loaded.
VKSorVikAPI* sorVikService = nullptr;
VelIHMAPI* userInterfaceService = nullptr;
ConverterAPI* converterService = nullptr;

constexpr char kRadarFolder[] = "..\\SORVIK\\";
constexpr char kRadarFile[] = "VKSorVik.dll";
constexpr char kRadarEntry[] = "GetVKSorVikAPI";
constexpr char kUserInterfaceFile[] = "VelIHM.dll";
constexpr char kUserInterfaceEntry[] = "GetVelIHMAPI";
constexpr char kConverterFile[] = "Converter.dll";
constexpr char kConverterEntry[] = "GetConverterAPI";

constexpr UINT kMissingLibraryExitCode = 1;

// The system's text for a missing library, then the file name in brackets.
CString MissingLibraryText(const char* fileName) {
  char systemText[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DLL_NOT_FOUND,
                 LANG_USER_DEFAULT, systemText, sizeof systemText, nullptr);
  return CString(systemText) + "(" + fileName + ")";
}

// The application's own message box: captioned with the application's name when it has one.
void ShowApplicationMessage(const CString& text) {
  const CWinApp* app = AfxGetApp();
  MessageBoxA(nullptr, text, app ? app->m_pszAppName : nullptr, MB_OK);
}

[[noreturn]] void ReportMissingLibraryAndExit(const char* fileName) {
  MessageBoxA(nullptr, MissingLibraryText(fileName), nullptr, MB_OK);
  ExitProcess(kMissingLibraryExitCode);
}

// Opens the library with the altered search path (what it needs is searched in its own folder first)
// and answers what its entry returns; null when the library or its entry is missing.
template <typename Service>
Service* CallEntryWithAlteredSearchPath(const char* folder, const char* fileName, const char* entryName) {
  const CString path = GetHostExecutableFolder(MAX_PATH) + folder + fileName;
  const HMODULE library = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) return nullptr;
  const auto entry = reinterpret_cast<Service* (*)()>(GetProcAddress(library, entryName));
  return entry ? entry() : nullptr;
}

}  // namespace

FARPROC LoadServiceEntry(LPCSTR fileName, LPCSTR entryName) {
  const CString path = GetHostExecutableFolder(MAX_PATH) + fileName;
  if (const HMODULE library = LoadLibraryA(path)) {
    if (const FARPROC entry = GetProcAddress(library, entryName)) return entry;
  }
  ShowApplicationMessage(MissingLibraryText(fileName));
  return nullptr;
}

VKSorVikAPI* GetSorVikService() {
  if (sorVikService) return sorVikService;
  sorVikService = CallEntryWithAlteredSearchPath<VKSorVikAPI>(kRadarFolder, kRadarFile, kRadarEntry);
  if (!sorVikService) ReportMissingLibraryAndExit(kRadarFile);
  return sorVikService;
}

SorVikRadar* GetSorVikRadar() { return GetSorVikService()->GetRadar(); }

VelIHMAPI* GetUserInterfaceService() {
  if (userInterfaceService) return userInterfaceService;
  userInterfaceService =
      CallEntryWithAlteredSearchPath<VelIHMAPI>("", kUserInterfaceFile, kUserInterfaceEntry);
  if (!userInterfaceService) ReportMissingLibraryAndExit(kUserInterfaceFile);
  return userInterfaceService;
}

ConverterAPI* GetConverterService() {
  if (converterService) return converterService;
  // The message, if any, has been shown by LoadServiceEntry; an entry that answers null ends the
  // process without one.
  const FARPROC entry = LoadServiceEntry(kConverterFile, kConverterEntry);
  if (entry) converterService = reinterpret_cast<GetConverterAPIFunction>(entry)();
  if (!converterService) ExitProcess(kMissingLibraryExitCode);
  return converterService;
}

#pragma once
// The host's run-time service libraries, found beside the host executable, opened on first use and
// kept for the life of the process. A radar, user-interface or converter library that cannot be
// loaded ends the process with exit code 1 after telling the user which file is missing.
#include "windef.h"

class VKSorVikAPI;
class SorVikRadar;
class VelIHMAPI;
class ConverterAPI;

// The service objects; never null (the process ends instead). A second call answers the cached object
// without opening the library or calling its entry again.
VKSorVikAPI* GetSorVikService();
VelIHMAPI* GetUserInterfaceService();
ConverterAPI* GetConverterService();

// The radar of the radar service, asked of the service anew at every call (the service hands out its
// radar interface per call); null when the service has none. The one way the module reaches the radar.
SorVikRadar* GetSorVikRadar();

// Opens `fileName` from the host executable's folder with the ordinary search and answers its entry
// `entryName`. When the library or the entry is missing the user is told which file is missing and
// null is answered; the process goes on.
FARPROC LoadServiceEntry(LPCSTR fileName, LPCSTR entryName);

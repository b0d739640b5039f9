#pragma once
// Extensions of advapi32, not part of Win32: opening a registry key of an INI profile directly, as
// CWinApp::GetSectionKey does.
#include "winreg.h"

// Opens the key of `section` in the profile file `profileFile`, to be released with RegCloseKey. Opening
// does not change the file. Null when either name is null or empty, or the section name cannot be
// stored in a profile.
HKEY OpenProfileSectionKey(LPCSTR profileFile, LPCSTR section);

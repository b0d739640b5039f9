#pragma once
// Keys of the INI-file profile that stands in for the registry: a key names one profile section of one
// profile file, and the sections below it are those whose names continue with a backslash.
#include "win32/windef.h"

// Opens the key of `section` in the profile file `profileFile`, to be released with RegCloseKey. Opening
// does not change the file. Null when either name is null or empty, or the section name cannot be
// stored in a profile.
HKEY OpenProfileSectionKey(LPCSTR profileFile, LPCSTR section);

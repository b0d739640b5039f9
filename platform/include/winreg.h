#pragma once
// The registry calls the module makes. The registry is the host's INI profile: a key stands for one
// profile section, and the keys below it are the sections whose names continue with a backslash. Keys
// are opened through CWinApp::GetSectionKey.
#include "windef.h"
#include "winerror.h"

// Deletes the subkey `subKey` of `key` (the key itself for an empty name) with every key below it.
// ERROR_FILE_NOT_FOUND when there was nothing to delete, ERROR_INVALID_HANDLE for a key that is not
// open, ERROR_INVALID_PARAMETER for a null name, ERROR_REGISTRY_IO_FAILED when the profile could not be
// rewritten.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Names the value at `index` of `key` (a key of its section): copies the name with its terminator into
// `name` when `*nameLength` characters leave room for it, and sets `*nameLength` to its length.
// ERROR_NO_MORE_ITEMS past the last value, ERROR_MORE_DATA when the name does not fit. The values are
// taken as the section stands at index 0 and kept until the key is closed, so that an enumeration
// reads one state of the section. Only names are given: `type`, `data` and `dataLength` must be null.
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD dataLength);
// Releases a key handle; ERROR_INVALID_HANDLE for one that is not open.
LONG RegCloseKey(HKEY key);

#pragma once
// Registry key operations on the host profile: a key is a profile section opened through
// CWinApp::GetSectionKey.
#include "win32/windef.h"

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_REGISTRY_IO_FAILED
#define ERROR_REGISTRY_IO_FAILED 1016L
#endif

// Deletes the subkey `subKey` of `key` (the key itself for an empty name) with every key below it.
// ERROR_FILE_NOT_FOUND when there was nothing to delete, ERROR_INVALID_HANDLE for a key that is not
// open, ERROR_REGISTRY_IO_FAILED when the profile could not be rewritten.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Releases a key handle; ERROR_INVALID_HANDLE for one that is not open.
LONG RegCloseKey(HKEY key);

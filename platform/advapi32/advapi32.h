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

// Deletes the subkey `subKey` of `key` (the key itself for an empty name) with every key below it.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Releases a key handle.
LONG RegCloseKey(HKEY key);

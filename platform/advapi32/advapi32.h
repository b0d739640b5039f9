#pragma once
// Registry key operations on the host profile: a key is a profile section opened through
// CWinApp::GetSectionKey.
#include "win32/windef.h"
#include "win32/winerror.h"

// Deletes the subkey `subKey` of `key` (the key itself for an empty name) with every key below it.
// ERROR_FILE_NOT_FOUND when there was nothing to delete, ERROR_INVALID_HANDLE for a key that is not
// open, ERROR_REGISTRY_IO_FAILED when the profile could not be rewritten.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Releases a key handle; ERROR_INVALID_HANDLE for one that is not open.
LONG RegCloseKey(HKEY key);

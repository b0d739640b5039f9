#pragma once
// Extensions of kernel32, not part of Win32: what the other platform libraries, the host and tests need
// beyond the Windows calls.
#include <string>
#include <string_view>
#include <vector>

#include "winbase.h"

// --- INI-file profiles -------------------------------------------------------------------------------

// The whole value of `key`, without the buffer limit of GetPrivateProfileStringA; false when missing.
bool ReadPrivateProfileValue(LPCSTR section, LPCSTR key, std::string& value, LPCSTR fileName);
// Deletes `section` and every section below it ("section\..."), as a registry key deletion does. Answers
// the number of sections deleted, or -1 when the profile cannot be read or written.
int DeletePrivateProfileSectionTree(LPCSTR section, LPCSTR fileName);
// The keys of `section` in file order, each once, without the buffer limit of GetPrivateProfileStringA;
// false when the profile cannot be read.
bool ListPrivateProfileKeys(LPCSTR section, std::vector<std::string>& keys, LPCSTR fileName);
// The reason the process's last failed profile write gave (a full disk, a folder that takes no file, ...),
// cleared by taking it; empty when no write failed since. A host tells its user, whom a lost setting
// would otherwise never reach.
std::string TakeProfileWriteFailure();
// Whether a profile can hold a section of this name, so that it reads back unchanged.
bool IsStorableProfileSectionName(LPCSTR section);

// --- Modules -----------------------------------------------------------------------------------------

// The text of string resource `id` of `module` (see extensions/resource_table.h for how a library
// carries them), valid until the module is freed; this is what LoadStringA reads. False, with the last
// error set, when there is none: ERROR_RESOURCE_DATA_NOT_FOUND for a null module (the executable carries
// no resources) or a module without a string table, ERROR_RESOURCE_NAME_NOT_FOUND for an identifier the
// table lacks, ERROR_INVALID_HANDLE for a handle that is not a live module.
bool FindStringResource(HMODULE module, UINT id, std::string_view& text);

// For diagnostics and tests: how many references are held on a live module (0 for any other handle).
DWORD GetModuleLoadCount(HMODULE module);

// --- Tick count (test hook) --------------------------------------------------------------------------

// For tests only: from now on GetTickCount answers `tick` (on every thread) instead of the system's
// count, until ClearTickCountOverride gives it back to the clock. Lets a test step time, wrap included.
void SetTickCountOverride(DWORD tick);
void ClearTickCountOverride();

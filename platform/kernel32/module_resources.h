#pragma once
// String resources of a loaded module (see kernel32/resource_table.h for how a library carries them).
// This is what LoadStringA reads; it is not a Win32 call.
#include <string_view>

#include "win32/windef.h"

// The text of string resource `id` of `module`, valid until the module is freed. False, with the last
// error set, when there is none: ERROR_RESOURCE_DATA_NOT_FOUND for a null module (the executable carries
// no resources) or a module without a string table, ERROR_RESOURCE_NAME_NOT_FOUND for an identifier the
// table lacks, ERROR_INVALID_HANDLE for a handle that is not a live module.
bool FindStringResource(HMODULE module, UINT id, std::string_view& text);

#pragma once
// INI-file profiles, as Windows' private profile functions: a file of [section] headings and key=value
// lines. Section and key names compare ignoring case. Every write replaces the file whole and safely
// (see private_profile_store.h), so the file always parses and concurrent writers lose nothing.
#include <string>

#include "win32/windef.h"

// Copies the value of `key` in `section` (or `defaultText`, "" when null) into `buffer`, truncated to
// `size` - 1 characters; answers the number of characters copied. A null `key` lists the section's keys
// and a null `section` lists the section names, each name followed by a zero and the list by a second
// zero.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size,
                               LPCSTR fileName);
// The value of `key` read as a decimal integer (a leading "0x" reads hexadecimal, a "-" negates it,
// reading stops at the first other character), or `defaultValue` when the key is missing or empty.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName);
// Stores `value` under `key` in `section`. A null `value` deletes the key, a null `key` the whole section.
// FALSE when the names cannot be stored or the file cannot be written.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

// Extensions for the platform's own callers.

// The whole value of `key`, without the buffer limit of GetPrivateProfileStringA; false when missing.
bool ReadPrivateProfileValue(LPCSTR section, LPCSTR key, std::string& value, LPCSTR fileName);
// Deletes `section` and every section below it ("section\..."), as a registry key deletion does. Answers
// the number of sections deleted, or -1 when the profile cannot be read or written.
int DeletePrivateProfileSectionTree(LPCSTR section, LPCSTR fileName);

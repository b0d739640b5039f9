#pragma once
// Loading libraries at run time, the Windows way, over the system's dynamic loader.
//
// File names may be Windows names: backslashes separate folders and "..\FOLDER\" segments are resolved
// by name. A module handle is the dynamic loader's handle of the library, or, for a library opened as
// a data file, a handle of this library's own with its lowest bit set.
//
// GetModuleFileNameA answers native paths ("/opt/host/bin/host"); code that cuts a folder out of one
// must accept either separator.
#include "win32/windef.h"

using HANDLE = void*;

// LoadLibraryExA options.
// Open the library for its resources only: it is read from its file, never loaded, and none of its
// code runs. Such a handle serves string resources and FreeLibrary, nothing else.
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002u
// The libraries the library needs are searched first in the library's own folder (otherwise first in
// the executable's folder, as Windows does).
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008u

// The full file name of `module` (null: the process's executable) in `fileName`. Answers the length
// written without the terminator. When the name does not fit, it is cut to size - 1 characters and
// terminated, the answer is `size` and the last error ERROR_INSUFFICIENT_BUFFER. 0 on failure
// (ERROR_MOD_NOT_FOUND for a handle that is not a live module).
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// Opens a library. A bare file name is searched in the executable's folder, then through the system
// loader's search, then in the current folder; a name with a folder part is taken as it is (a relative
// one from the current folder). Opening a library again answers the same handle and counts a reference.
// Null on failure, with the last error ERROR_MOD_NOT_FOUND (the file or a library it needs is missing),
// ERROR_PROC_NOT_FOUND (a function it imports is missing), ERROR_BAD_EXE_FORMAT (not a library of this
// system), ERROR_ACCESS_DENIED (not a readable file) or ERROR_INVALID_PARAMETER.
HMODULE LoadLibraryA(LPCSTR fileName);
// As LoadLibraryA, with the options above; `file` must be null.
HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags);
// The exported function or variable `procName` of a module (null: the executable). Null with
// ERROR_PROC_NOT_FOUND when the module has none (ordinals are never found), ERROR_INVALID_HANDLE for a
// data-file or unknown handle.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// Releases one reference; the library is unloaded when the last goes. FALSE with ERROR_INVALID_HANDLE
// for a handle that is not a live module.
BOOL FreeLibrary(HMODULE module);
// The live module opened from `fileName` (a bare name matches the file name of any live module, letter
// case ignored), without counting a reference; null: the executable. Null with ERROR_MOD_NOT_FOUND.
HMODULE GetModuleHandleA(LPCSTR fileName);

// Not part of Win32, for diagnostics and tests: how many references are held on a live module (0 for
// any other handle).
DWORD GetModuleLoadCount(HMODULE module);

#pragma once
// The kernel32 calls the module makes: the last error, library loading, system message texts, the tick
// count, ending the process and INI-file profiles.
#include <cstdarg>

#include "windef.h"
#include "winerror.h"

// --- Last error --------------------------------------------------------------------------------------

// The calling thread's last error code, as the calls of this library set it; 0 in a new thread.
DWORD GetLastError();
void SetLastError(DWORD error);

// --- Library loading ---------------------------------------------------------------------------------
//
// File names may be Windows names: backslashes separate folders and "..\FOLDER\" segments are resolved
// by name. A module handle is the dynamic loader's handle of the library, or, for a library opened as
// a data file, a handle of kernel32's own with its lowest bit set.
//
// GetModuleFileNameA answers native paths ("/opt/host/bin/host"); code that cuts a folder out of one
// must accept either separator.

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

// --- System message texts ----------------------------------------------------------------------------
// Only the system message table is carried, in English.

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu

// Writes the system text of `messageId` into `buffer` (room for `size` characters with the terminator)
// and answers its length. As on Windows, a system text ends with "\r\n", unless the width bits are
// FORMAT_MESSAGE_MAX_WIDTH_MASK, which drop its line breaks. Supported: FORMAT_MESSAGE_FROM_SYSTEM with
// or without FORMAT_MESSAGE_IGNORE_INSERTS (a text with inserts needs it), languages neutral, default
// and English. 0 on failure, with the last error ERROR_MR_MID_NOT_FOUND (no such message),
// ERROR_INSUFFICIENT_BUFFER (the text does not fit), ERROR_RESOURCE_LANG_NOT_FOUND (another language)
// or ERROR_INVALID_PARAMETER (anything else).
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, va_list* arguments);

// --- Time and process --------------------------------------------------------------------------------

// Milliseconds since the system started, in 32 bits: it wraps after about 49.7 days.
DWORD GetTickCount();

// Ends the process with `exitCode`. Windows stops the other threads before any clean-up code runs;
// that cannot be done here, so no clean-up code (static destructors, exit handlers) runs at all: only
// the C streams are flushed. Never returns.
[[noreturn]] void ExitProcess(UINT exitCode);

// --- INI-file profiles -------------------------------------------------------------------------------
// A file of [section] headings and key=value lines. Section and key names compare ignoring case. A
// write changes the line of its key (or adds one) and keeps every other byte of the file, lines that are
// not INI syntax included; it replaces the file safely: readers never see a half-written file, and
// writers in several threads or processes lose none of each other's changes. Reads are answered from the
// parsed file held in memory for as long as the file on disk is unchanged.

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

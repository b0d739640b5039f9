#pragma once
// System message texts by error code, as FormatMessageA gives them. Only the system message table is
// carried, in English.
#include <cstdarg>

#include "win32/windef.h"

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu

#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define MAKELANGID(primary, sub) ((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary))
#define PRIMARYLANGID(language) (static_cast<WORD>(language) & 0x3ff)
#define LANG_USER_DEFAULT MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)
#define LANG_SYSTEM_DEFAULT MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT)

// Writes the system text of `messageId` into `buffer` (room for `size` characters with the terminator)
// and answers its length. As on Windows, a system text ends with "\r\n", unless the width bits are
// FORMAT_MESSAGE_MAX_WIDTH_MASK, which drop its line breaks. Supported: FORMAT_MESSAGE_FROM_SYSTEM with
// or without FORMAT_MESSAGE_IGNORE_INSERTS (a text with inserts needs it), languages neutral, default
// and English. 0 on failure, with the last error ERROR_MR_MID_NOT_FOUND (no such message),
// ERROR_INSUFFICIENT_BUFFER (the text does not fit), ERROR_RESOURCE_LANG_NOT_FOUND (another language)
// or ERROR_INVALID_PARAMETER (anything else).
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, va_list* arguments);

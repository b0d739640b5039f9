#pragma once
// The generic handle and the language identifiers of the Windows calls.

using HANDLE = void*;
// Wide characters are the platform's own wide characters, so that L"..." literals are wide texts.
using WCHAR = wchar_t;

// Language identifiers: a primary language in the low ten bits, a sublanguage above it.
using LANGID = unsigned short;
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define MAKELANGID(primary, sub) ((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary))
#define PRIMARYLANGID(language) (static_cast<WORD>(language) & 0x3ff)
#define LANG_USER_DEFAULT MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)
#define LANG_SYSTEM_DEFAULT MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT)

#pragma once
// The user32 calls the module makes: message boxes and string resources.
//
// There is no desktop here: by default a message box is written to standard error as one line,
// "<caption>: <text>", and answered with its default button at once (see extensions/user32.h for
// showing or recording boxes instead).
#include "windef.h"

// Button sets.
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
// Icons.
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0u
// Default button.
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_DEFMASK 0x00000F00u

// Answers.
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Shows `text` in a box with `caption` ("Error", the system's default caption, when null) and the
// buttons and icon of `type`; answers the button chosen. A null text shows an empty box.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Copies string resource `id` of `instance` into `buffer` (room for `bufferMax` characters with the
// terminator), cut to fit, and answers the number of characters copied without the terminator. 0 when
// there is no such string, when `instance` is null (the executable carries no resources) or when
// `buffer` is null or `bufferMax` not positive; the buffer then holds an empty text when it has room.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

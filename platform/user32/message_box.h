#pragma once
// Message boxes. There is no desktop here: by default a box is written to standard error as one line,
// "<caption>: <text>", and answered with its default button at once. A host (or a test) may install its
// own presenter to show or record boxes instead.
#include "win32/windef.h"

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

// Who shows message boxes. It receives the caption already defaulted and never null pointers, and
// answers the button chosen.
using MessageBoxPresenter = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Installs `presenter` (null: the standard-error presenter again) and answers the one it replaces.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);
// The standard-error presenter, for presenters that also want the line written.
int PresentMessageBoxOnStandardError(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The button a box of `type` answers when nobody is there to choose: its default button.
int DefaultMessageBoxAnswer(UINT type);

#pragma once
// Extensions of user32, not part of Win32: who presents message boxes. A host (or a test) may install
// its own presenter to show or record boxes instead of writing them to standard error.
#include "winuser.h"

// Who shows message boxes. It receives the caption already defaulted and never null pointers, and
// answers the button chosen.
using MessageBoxPresenter = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Installs `presenter` (null: the standard-error presenter again) and answers the one it replaces.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);
// The standard-error presenter, for presenters that also want the line written.
int PresentMessageBoxOnStandardError(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The button a box of `type` answers when nobody is there to choose: its default button.
int DefaultMessageBoxAnswer(UINT type);

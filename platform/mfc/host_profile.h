#pragma once
// Where the host application's profile lives: one INI file per host application. The host (or a test)
// may choose the file; otherwise it is "$XDG_CONFIG_HOME/<host executable name>/profile.ini", with
// "~/.config" when XDG_CONFIG_HOME is unset or not an absolute path.
#include "mfc/afxstr.h"

// Chooses the profile file of this process; null or "" goes back to the default.
void AfxSetHostProfilePath(const char* path);
// The profile file in use; empty when no file can be named (no home folder).
CString AfxGetHostProfilePath();

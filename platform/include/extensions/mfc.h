#pragma once
// Extensions of MFC, not part of it: where the host application's profile lives. One INI file per host
// application; the host (or a test) may choose the file, otherwise it is
// "$XDG_CONFIG_HOME/<host executable name>/profile.ini", with "~/.config" when XDG_CONFIG_HOME is unset
// or not an absolute path.
#include "afxstr.h"

// Chooses the profile file of this process; null or "" goes back to the default.
void AfxSetHostProfilePath(const char* path);
// The profile file in use; empty when no file can be named (no home folder).
CString AfxGetHostProfilePath();

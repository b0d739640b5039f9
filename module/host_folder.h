#pragma once
// The folder of the host executable, where the host's service libraries are installed.
#include "afxstr.h"
#include "windef.h"

// The executable's full file name, read into a buffer of `bufferLength` characters, cut after its last
// folder separator (a backslash, or the slash of this system's paths), so it ends with the separator.
// Empty, so that paths built on it are relative, when the name cannot be read or does not fit the
// buffer: a cut-off name would name some other folder.
CString GetHostExecutableFolder(DWORD bufferLength);

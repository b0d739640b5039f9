#pragma once
// The calling thread's last error code, as the Windows calls of this library set it.
#include "win32/windef.h"
#include "win32/winerror.h"

// Per thread, as on Windows; 0 in a new thread.
DWORD GetLastError();
void SetLastError(DWORD error);

#pragma once
#include "win32/windef.h"

// Milliseconds since the system started, in 32 bits: it wraps after about 49.7 days.
DWORD GetTickCount();

#pragma once
// The Windows calls and types, all at once, as Windows' own windows.h gathers them.
#include "winbase.h"
#include "windef.h"
#include "winerror.h"
#include "winreg.h"
#include "winuser.h"

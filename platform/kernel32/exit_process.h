#pragma once
// Ending the process.
#include "win32/windef.h"

// Ends the process with `exitCode`. Windows stops the other threads before any clean-up code runs;
// that cannot be done here, so no clean-up code (static destructors, exit handlers) runs at all: only
// the C streams are flushed. Never returns.
[[noreturn]] void ExitProcess(UINT exitCode);

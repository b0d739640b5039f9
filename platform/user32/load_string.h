#pragma once
// String resources of a module, as Windows' LoadStringA gives them.
#include "win32/windef.h"

// Copies string resource `id` of `instance` into `buffer` (room for `bufferMax` characters with the
// terminator), cut to fit, and answers the number of characters copied without the terminator. 0 when
// there is no such string, when `instance` is null (the executable carries no resources) or when
// `buffer` is null or `bufferMax` not positive; the buffer then holds an empty text when it has room.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

#pragma once
// Extensions of GDI, not part of it: device contexts on the host's view surfaces, and a count of live
// objects so that tests see a leak.
#include "extensions/d3d9.h"  // ViewSurface
#include "wingdi.h"

// A device context drawing into `surface`, which the host keeps alive at the same place until DeleteDC.
// Null for a surface without pixels, or one whose pitch does not hold a line or is not a multiple of 4.
HDC CreateViewDC(const ViewSurface& surface);
// The surface `dc` draws into; false when `dc` is not a device context of this library.
bool GetViewDCSurface(HDC dc, ViewSurface& surface);

// How many device contexts, pens and brushes (stock objects aside) are alive in the process.
UINT LiveGdiObjects();

#pragma once
// Extensions of GDI+, not part of it: a count of live native objects, so that tests see a leak.
#include <gdiplus.h>  // the GDI+ header, not this one

// How many native GDI+ objects (drawing surfaces, families, fonts, brushes, pens, string formats,
// matrices) are alive in the process.
UINT LiveGdiplusObjects();

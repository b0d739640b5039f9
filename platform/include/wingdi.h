#pragma once
// The GDI calls the module makes: pens, brushes and ellipses on a view's device context.
//
// A device context is our handle to a view's pixels (see extensions/gdi32.h for making one). Drawing is
// aliased, as GDI's is. A context starts with the black pen and the white brush selected.
#include "windef.h"

struct HDC__;
using HDC = HDC__*;
using HGDIOBJ = void*;
struct HPEN__;
using HPEN = HPEN__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;

// Colours: 0x00BBGGRR.
using COLORREF = DWORD;
#define RGB(r, g, b) \
  (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                         (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(colour) (static_cast<BYTE>(colour))
#define GetGValue(colour) (static_cast<BYTE>((colour) >> 8))
#define GetBValue(colour) (static_cast<BYTE>((colour) >> 16))

// Pen styles.
#define PS_SOLID 0
#define PS_NULL 5

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

// Object types.
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3

// Returns null for an unknown style, or a negative width.
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
// Null for an index that names no stock object this library has.
HGDIOBJ GetStockObject(int index);
// Selects a pen or a brush into `dc` and answers the one it replaces; null when either is not valid.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a pen or brush. Stock objects stay; an object selected into a context is not deleted (FALSE).
BOOL DeleteObject(HGDIOBJ object);
BOOL DeleteDC(HDC dc);
// OBJ_PEN, OBJ_BRUSH or OBJ_DC; 0 for a handle that is none of these.
DWORD GetObjectType(HGDIOBJ object);

// The ellipse inside the box, right and bottom excluded: outlined with the pen, filled with the brush.
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);

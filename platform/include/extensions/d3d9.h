#pragma once
// Extensions of Direct3D 9, not part of it. There is no window system here: the host owns the pixels of
// each view and creates a device that draws into them. Tests also use these calls to make the adapter
// refuse formats or fail creations, and to check that every object has been released.
#include <d3d9.h>  // the Direct3D header, not this one

// A view's pixels: 32-bit 0xAARRGGBB values, `pitch` bytes from one line to the next. The host owns
// them and keeps them alive, at the same place, as long as a device draws into them.
struct ViewSurface {
  DWORD* pixels = nullptr;
  UINT width = 0;
  UINT height = 0;
  UINT pitch = 0;
};

// Creates a device of `d3d` that draws into `surface` (at most 8192 pixels wide and high, a pitch that
// holds a line and is a multiple of 4). D3DERR_INVALIDCALL for a null pointer or an unusable surface.
HRESULT CreateViewDevice(IDirect3D9* d3d, const ViewSurface& surface, IDirect3DDevice9** device);

// Failures an adapter can show, for tests of the code that must cope with them.
struct AdapterFaults {
  bool refuseA8R8G8B8 = false;          // CheckDeviceFormat and CreateTexture refuse D3DFMT_A8R8G8B8
  bool refuseA4R4G4B4 = false;          // ... and D3DFMT_A4R4G4B4
  bool failCreateTexture = false;       // CreateTexture answers D3DERR_OUTOFVIDEOMEMORY
  bool failCreateVertexBuffer = false;  // CreateVertexBuffer answers D3DERR_OUTOFVIDEOMEMORY
};
// Applies `faults` to `d3d` and to every device created from it, from the next call on. False when
// `d3d` is not an adapter object of this library.
bool SetAdapterFaults(IDirect3D9* d3d, const AdapterFaults& faults);

// How many Direct3D objects (adapters, devices, textures, vertex buffers) are alive in the process.
UINT LiveDirect3DObjects();
